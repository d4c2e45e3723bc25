-- HudRelay.lua: heading, altitude and airspeed ten times a second over UDP.

local host, port = "127.0.0.1", 6060
local udp = nil
local nextTime = 0

local previousStart = LuaExportStart
LuaExportStart = function()
	if previousStart then previousStart() end
	local socket = require("socket")
	udp = socket.udp()
	udp:settimeout(0)
end

local previousAfter = LuaExportAfterNextFrame
LuaExportAfterNextFrame = function()
	if previousAfter then previousAfter() end
	local t = LoGetModelTime()
	if udp and t >= nextTime then
		nextTime = t + 0.1
		local pitch, bank, yaw = LoGetADIPitchBankYaw()
		udp:sendto(string.format("%.1f;%.0f;%.0f", math.deg(yaw), LoGetAltitudeAboveSeaLevel(), LoGetIndicatedAirSpeed()), host, port)
	end
end

local previousStop = LuaExportStop
LuaExportStop = function()
	if udp then udp:close() udp = nil end
	if previousStop then previousStop() end
end
