-- Multiplayer options

playerName = "Pilot";

chat {
	height = 10;
	delay = 30;
}

client {
	port = 10308;
	type = "xDSL 1024/128 Kbit/s";
	server = "192.168.0.10";
	serverList = {
		[1] = "192.168.0.10";
		[2] = "lockon.example.org";
	};
}

server {
	name = "Lock On server";
	port = 10308;
	maxPlayers = 16;
	type = "LAN 100 Mbit/s";
	interface = "All interfaces";
}
