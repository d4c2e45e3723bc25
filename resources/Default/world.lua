-- Date and start time of the missions

MissionDate = { Year = 2005, Month = 6, Day = 1 }
MissionStartTime = 28800
