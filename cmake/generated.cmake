# Sources made at build time from readable files kept in the repo.
set(FENDREL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${FENDREL_GENERATED_DIR})

# The user-interface texts: foundation/Texts.txt (one line per identifier)
# becomes the scrambled table that the text lookup unscrambles.
add_custom_command(
    OUTPUT ${FENDREL_GENERATED_DIR}/TextTable.cpp
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make-text-table.py
            ${CMAKE_SOURCE_DIR}/foundation/Texts.txt ${FENDREL_GENERATED_DIR}/TextTable.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-text-table.py ${CMAKE_SOURCE_DIR}/foundation/Texts.txt
    COMMENT "Making the text table")

set(FENDREL_GENERATED_SOURCES ${FENDREL_GENERATED_DIR}/TextTable.cpp)
