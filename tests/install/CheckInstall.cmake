# Installs the build into PREFIX and checks what a desktop needs: the program, the icon in every
# size, and a desktop entry that starts the installed program with the installed icon.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the install failed: ${result}")
endif()

set(program "${PREFIX}/bin/zqdlibrary")
if(NOT EXISTS "${program}" OR IS_DIRECTORY "${program}")
    message(FATAL_ERROR "no program at ${program}")
endif()
# The command that moves a shop between the file and a server lies beside the program.
if(NOT EXISTS "${PREFIX}/bin/lms_move" OR IS_DIRECTORY "${PREFIX}/bin/lms_move")
    message(FATAL_ERROR "no lms_move beside the program")
endif()
foreach(size 16 32 48 64 128 256)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/zqdlibrary.png")
    if(NOT EXISTS "${icon}")
        message(FATAL_ERROR "no ${size} pixel icon")
    endif()
    file(READ "${icon}" header LIMIT 8 HEX)
    if(NOT header STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "the ${size} pixel icon is no PNG file")
    endif()
endforeach()

set(entry "${PREFIX}/share/applications/zqdlibrary.desktop")
if(NOT EXISTS "${entry}")
    message(FATAL_ERROR "no desktop entry")
endif()
file(STRINGS "${entry}" lines ENCODING UTF-8)
foreach(expected
        "[Desktop Entry]"
        "Type=Application"
        "Name=图书租借管理系统"
        "Exec=\"${program}\""
        "Icon=${PREFIX}/share/icons/hicolor/256x256/apps/zqdlibrary.png"
        "Terminal=false")
    list(FIND lines "${expected}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks: ${expected}\n${lines}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
