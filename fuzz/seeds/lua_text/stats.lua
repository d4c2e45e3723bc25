-- Multiplayer statistics

chat_log = true;
kills_log = true;
stats_file = "./Temp/mpstats.txt";
