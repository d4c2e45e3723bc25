-- View options

CockpitMouse = true
ExternalMouse = true

PlaneIndex = {
	iSu_27 = 1,
	iSu_33 = 2,
	iSu_25 = 3,
	iSu_39 = 4,
	iMiG_29 = 5,
	iMiG_29K = 6,
	iA_10 = 7,
	iF_15 = 8,
}

-- Lower and upper limits of the field of view, in degrees
CameraViewAngleLimits = {}
CameraViewAngleLimits[PlaneIndex.iSu_27] = {20.000000, 140.000000}
CameraViewAngleLimits[PlaneIndex.iSu_33] = {20.000000, 140.000000}
CameraViewAngleLimits[PlaneIndex.iSu_25] = {20.000000, 120.000000}
CameraViewAngleLimits[PlaneIndex.iSu_39] = {20.000000, 120.000000}
CameraViewAngleLimits[PlaneIndex.iMiG_29] = {20.000000, 140.000000}
CameraViewAngleLimits[PlaneIndex.iMiG_29K] = {20.000000, 140.000000}
CameraViewAngleLimits[PlaneIndex.iA_10] = {20.000000, 130.000000}
CameraViewAngleLimits[PlaneIndex.iF_15] = {20.000000, 140.000000}

-- HUD colour, red, green and blue from 0 to 255
HUDColor = {}
HUDColor[PlaneIndex.iSu_27] = {0, 255, 0}
HUDColor[PlaneIndex.iSu_33] = {0, 255, 0}
HUDColor[PlaneIndex.iSu_25] = {255, 200, 0}
HUDColor[PlaneIndex.iSu_39] = {255, 200, 0}
HUDColor[PlaneIndex.iMiG_29] = {0, 255, 64}
HUDColor[PlaneIndex.iMiG_29K] = {0, 255, 64}
HUDColor[PlaneIndex.iA_10] = {0, 255, 128}
HUDColor[PlaneIndex.iF_15] = {0, 255, 128}
