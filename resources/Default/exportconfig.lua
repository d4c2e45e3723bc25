--[[
	Data export to other programs.
	Set EnableExportScript to true to run Config/Export/export.lua
	during missions.
--]]
EnableExportScript = false
