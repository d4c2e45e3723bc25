-- Run by the game when EnableExportScript is true in config.lua.
-- Scripts chain these functions, so define them before running any.

function LuaExportStart() end
function LuaExportBeforeNextFrame() end
function LuaExportAfterNextFrame() end
function LuaExportStop() end

-- dofile("./config/export/HudRelay.lua")
dofile("./config/export/FlightRecorder.lua")
