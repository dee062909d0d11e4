# Runs at install time: writes the desktop entry with the program's and the icon's installed
# paths (the prefix is known only now) and installs it. Expects LMS_BINDIR, LMS_DATADIR and
# LMS_ENTRY_DIR to be set.
foreach(dir LMS_BINDIR LMS_DATADIR)
    if(IS_ABSOLUTE "${${dir}}")
        set(${dir}_PATH "${${dir}}")
    else()
        set(${dir}_PATH "${CMAKE_INSTALL_PREFIX}/${${dir}}")
    endif()
endforeach()
set(program "${LMS_BINDIR_PATH}/zqdlibrary")
set(icon "${LMS_DATADIR_PATH}/icons/hicolor/256x256/apps/zqdlibrary.png")

# Exec quotes the path; inside the quotes \ " ` $ are escaped, and % is doubled.
set(exec "${program}")
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
string(REPLACE "\"" "\\\\\"" exec "${exec}")
string(REPLACE "`" "\\\\`" exec "${exec}")
string(REPLACE "$" "\\\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")

file(MAKE_DIRECTORY "${LMS_ENTRY_DIR}")
file(WRITE "${LMS_ENTRY_DIR}/zqdlibrary.desktop"
"[Desktop Entry]
Type=Application
Version=1.0
Name=图书租借管理系统
GenericName=图书租借管理
Comment=书店、图书室的图书租借管理：借书、还书、读者、收费与查询
Exec=\"${exec}\"
Icon=${icon}
Terminal=false
Categories=Office;
StartupWMClass=zqdlibrary
")
file(INSTALL DESTINATION "${LMS_DATADIR_PATH}/applications" TYPE FILE
     FILES "${LMS_ENTRY_DIR}/zqdlibrary.desktop")
