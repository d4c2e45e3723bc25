-- Views a server allows its players

DisableCombatViews = false -- F5 & Ctrl-F5
CameraTerrainRestriction = true

-- Position of the rear view (F4) relative to the aircraft
function GetRearCameraPosition(p)
	local r = {p[1], p[2], p[3]}
	r[1] = p[1] - 8.5
	r[2] = p[2] + 1.5
	r[3] = 0
	return r
end
