# Builds the sample game installation: the default copies placed at their catalogue paths, plus the
# files of the installation that are not default copies. Run with -DRESOURCES=... -DDESTINATION=...
file(REMOVE_RECURSE "${DESTINATION}")
file(COPY "${RESOURCES}/sample-game/" DESTINATION "${DESTINATION}")
file(STRINGS "${RESOURCES}/sample_game_layout.txt" entries)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 copy)
  list(GET fields 1 catalogPath)
  string(REPLACE "\\" "/" relative "${catalogPath}")
  get_filename_component(folder "${DESTINATION}/${relative}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${RESOURCES}/Default/${copy}" "${DESTINATION}/${relative}")
endforeach()
