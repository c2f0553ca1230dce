# The folders as libraries, their allowed dependencies, the small libraries
# of the upward edges, and the checks that keep them so (CMakeLists.txt
# holds the data).

set(FENDREL_LIBS "")
set(FENDREL_LAYOUT "")
set(FENDREL_LAYER_LINES "")
set(FENDREL_CLAIMED_SOURCES "")

function(fendrel_target_name folder out)
    string(REPLACE "/" "_" name ${folder})
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# fendrel_upward(<name> FOLDER <folder> CLASSES|HEADERS <file stems...> USED_BY <folders or libraries...>
#                LINKS <libraries...>)
# A few classes of a folder that lower folders must reach, or that must sit
# on higher folders: built into a library of their own that links only what
# they need, so the graph stays acyclic. The folders and libraries of
# USED_BY may include their headers and link it; their own files may include
# only what they link. HEADERS names classes used through their headers
# alone (virtual and inline members): their code stays in the folder's own
# library, the edge library only marks the edge, and the headers include
# only what every user may include.
function(fendrel_upward name)
    cmake_parse_arguments(ARG "" "FOLDER" "CLASSES;HEADERS;USED_BY;LINKS" ${ARGN})
    set(sources "")
    list(JOIN ARG_USED_BY " " users)
    list(JOIN ARG_LINKS " " links)
    foreach(stem IN LISTS ARG_CLASSES ARG_HEADERS)
        list(APPEND FENDREL_LAYER_LINES "upward ${ARG_FOLDER}/${stem}.h ${name}: ${users}")
        if(stem IN_LIST ARG_CLASSES)
            if(EXISTS ${CMAKE_SOURCE_DIR}/${ARG_FOLDER}/${stem}.cpp)
                list(APPEND sources ${CMAKE_SOURCE_DIR}/${ARG_FOLDER}/${stem}.cpp)
            endif()
            list(APPEND FENDREL_LAYER_LINES "piece ${ARG_FOLDER}/${stem} ${name}: ${links}")
        else()
            list(APPEND FENDREL_LAYER_LINES "header ${ARG_FOLDER}/${stem} ${name}: ${users}")
        endif()
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_link_libraries(${name} PUBLIC ${ARG_LINKS} ${FENDREL_SYSTEM_LIBS})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    endif()
    set(FENDREL_CLAIMED_SOURCES ${FENDREL_CLAIMED_SOURCES} ${sources} PARENT_SCOPE)
    set(FENDREL_LAYER_LINES ${FENDREL_LAYER_LINES} PARENT_SCOPE)
    set(FENDREL_LIBS ${FENDREL_LIBS} ${name} PARENT_SCOPE)
endfunction()

# fendrel_layer(<folder> USES <folders...> [EDGES <edge libraries...>])
# One folder as one static library of every .cpp in it (but the classes
# built into edge libraries) linking only the folders it uses and the edge
# libraries it names: its own, and those of higher folders it may reach.
function(fendrel_layer folder)
    cmake_parse_arguments(ARG "" "" "USES;EDGES" ${ARGN})
    fendrel_target_name(${folder} name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/Main\\.cpp$")
    foreach(claimed IN LISTS FENDREL_CLAIMED_SOURCES)
        list(REMOVE_ITEM sources ${claimed})
    endforeach()
    if(folder STREQUAL "foundation")
        list(APPEND sources ${FENDREL_GENERATED_SOURCES})
    endif()
    add_library(${name} STATIC ${sources})
    set(uses "")
    foreach(used IN LISTS ARG_USES)
        fendrel_target_name(${used} usedName)
        list(APPEND uses ${usedName})
    endforeach()
    list(JOIN ARG_USES " " used)
    list(APPEND FENDREL_LAYER_LINES "folder ${folder}: ${used}")
    target_link_libraries(${name} PUBLIC ${uses} ${ARG_EDGES} ${FENDREL_SYSTEM_LIBS})
    set(FENDREL_LAYER_LINES ${FENDREL_LAYER_LINES} PARENT_SCOPE)
    set(FENDREL_LIBS ${FENDREL_LIBS} ${name} PARENT_SCOPE)
    set(FENDREL_LAYOUT ${FENDREL_LAYOUT} ${folder} PARENT_SCOPE)
endfunction()

# A program that links a library whole with only its allowed libraries: a
# call up the order by mistake leaves an undefined symbol and fails the
# build. The programs are never run.
function(fendrel_add_link_checks)
    foreach(lib IN LISTS FENDREL_LIBS)
        get_target_property(type ${lib} TYPE)
        if(type STREQUAL "INTERFACE_LIBRARY")
            continue()
        endif()
        add_executable(link_check_${lib} ${CMAKE_SOURCE_DIR}/tools/link-check.cpp)
        target_link_libraries(link_check_${lib} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
        set_target_properties(link_check_${lib} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/link-checks)
    endforeach()
endfunction()

# The include check reads this file: each folder with the folders it may
# include, and each upward header with the folders that may include it.
function(fendrel_write_layer_file)
    string(REPLACE ";" "\n" content "${FENDREL_LAYER_LINES}")
    file(WRITE ${CMAKE_BINARY_DIR}/layers.txt "${content}\n")
endfunction()
