# System libraries the first window does not need are bound on first call
# instead of at load time: the loader maps GDI+ and GLU with OpenGL (and what
# they import in turn) only when the program first calls into them. For each
# cmake/delay-imports/<dll>.def, dlltool writes a delay-import library whose
# thunks load the DLL through the MinGW runtime's __delayLoadHelper2. The
# .def lists the functions the program calls; a function missing there still
# links, from the ordinary import library after it, but then loads its DLL at
# start again. Only functions the headers declare without dllimport work so:
# a call through the __imp_ slot of such a library finds the slot empty
# (binutils leaves it zero), which is why the shell, the common dialogs and
# OLE are imported as usual.
find_program(FENDREL_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)
set(FENDREL_DELAY_IMPORT_LIBS)
file(GLOB fendrel_delay_defs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/delay-imports/*.def)
foreach(def ${fendrel_delay_defs})
    get_filename_component(dll ${def} NAME_WE)
    set(lib ${CMAKE_BINARY_DIR}/delay-imports/lib${dll}_delay.a)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay-imports)
    # The 64-bit program calls the functions by their plain names: x64 has
    # one calling convention, and no @ suffix on stdcall names.
    set(names ${def})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        file(READ ${def} text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        set(names ${CMAKE_BINARY_DIR}/delay-imports/${dll}.def)
        file(WRITE ${names} "${text}")
    endif()
    # -k: the DLL exports the stdcall functions without their @ suffix.
    execute_process(COMMAND ${FENDREL_DLLTOOL} -k -d ${names} -y ${lib} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dlltool could not make ${lib}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    list(APPEND FENDREL_DELAY_IMPORT_LIBS ${lib})
endforeach()
