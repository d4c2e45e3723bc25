-- Colours of the smoke pods (0 to 255)

Smokes = {}

-- Russian pods
do
	Smokes[66] =
	{
		r = 255,
		g = 20,
		b = 20,
		a = 200,
		width = 4.0,
	}
	Smokes[82] =
	{
		r = 20,
		g = 200,
		b = 20,
		a = 200,
		width = 4.0,
	}
	Smokes[83] =
	{
		r = 20,
		g = 40,
		b = 255,
		a = 200,
		width = 4.0,
	}
	Smokes[84] =
	{
		r = 255,
		g = 255,
		b = 255,
		a = 200,
		width = 4.0,
	}
	Smokes[85] =
	{
		r = 255,
		g = 230,
		b = 0,
		a = 200,
		width = 4.0,
	}
	Smokes[86] =
	{
		r = 255,
		g = 128,
		b = 0,
		a = 200,
		width = 4.0,
	}
end

-- US pods
do
	Smokes[67] =
	{
		r = 255,
		g = 20,
		b = 20,
		a = 200,
		width = 4.0,
	}
	Smokes[87] =
	{
		r = 20,
		g = 200,
		b = 20,
		a = 200,
		width = 4.0,
	}
	Smokes[88] =
	{
		r = 20,
		g = 40,
		b = 255,
		a = 200,
		width = 4.0,
	}
	Smokes[89] =
	{
		r = 255,
		g = 255,
		b = 255,
		a = 200,
		width = 4.0,
	}
	Smokes[90] =
	{
		r = 255,
		g = 230,
		b = 0,
		a = 200,
		width = 4.0,
	}
	Smokes[91] =
	{
		r = 255,
		g = 128,
		b = 0,
		a = 200,
		width = 4.0,
	}
end
