# Cross-compiles the same program as a 64-bit Windows program, for hosts that
# run only 64-bit programs (see README.md); ctest runs it through wine64.
set(FENDREL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
