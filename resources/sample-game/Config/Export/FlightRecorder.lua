-- FlightRecorder.lua: one CSV line per second with time, altitude and speed.

local log = nil
local nextTime = 0

local previousStart = LuaExportStart
LuaExportStart = function()
	if previousStart then previousStart() end
	log = io.open("./Temp/flight.csv", "w")
	if log then
		log:write("time;altitude;speed\n")
	end
end

local previousAfter = LuaExportAfterNextFrame
LuaExportAfterNextFrame = function()
	if previousAfter then previousAfter() end
	local t = LoGetModelTime()
	if log and t >= nextTime then
		nextTime = t + 1
		log:write(string.format("%.1f;%.0f;%.0f\n", t, LoGetAltitudeAboveSeaLevel(), LoGetIndicatedAirSpeed()))
	end
end

local previousStop = LuaExportStop
LuaExportStop = function()
	if log then log:close() log = nil end
	if previousStop then previousStop() end
end
