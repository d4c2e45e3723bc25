playerName = "x\"; os.execute(\"rm\") --\065\n";
