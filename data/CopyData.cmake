# Puts the data files beside the program in the build tree (cmake -P).
# DATA: the data/ source folder; SOUND: the generated sound; DEST: the program's folder.
file(MAKE_DIRECTORY "${DEST}")
foreach(file "${DATA}/Tavrel.aide" "${DATA}/tavrel.png" "${DATA}/tavrel.svg" "${SOUND}")
  file(COPY "${file}" DESTINATION "${DEST}")
endforeach()
# The keyword list beside the program is the user's: it is only seeded, never replaced.
if(NOT EXISTS "${DEST}/ListeUrl.dat")
  file(COPY "${DATA}/ListeUrl.dat" DESTINATION "${DEST}")
endif()
