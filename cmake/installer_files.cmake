# Writes the installer's list of data files (cmake -P), so the installer packs
# whatever the build's data folder holds and its uninstaller removes exactly
# that. Written only when the folder's names or contents changed, so the
# installer is rebuilt only then.
#   -DDATA_DIR=<the data folder>  -DOUT=<the .nsh to write>
# The settings file is left out of both lists: once installed it is the
# user's, and the installer script handles it.
cmake_minimum_required(VERSION 3.25)

# "$INSTDIR\<rel>" with the name's own "$" escaped and Windows separators.
function(installed_path out rel)
    string(REPLACE "$" "$$" rel "${rel}")
    string(REPLACE "/" "\\" rel "${rel}")
    if(rel STREQUAL "")
        set(${out} "\"$INSTDIR\"" PARENT_SCOPE)
    else()
        set(${out} "\"$INSTDIR\\${rel}\"" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${DATA_DIR}" "${DATA_DIR}/*")
list(SORT entries)
set(dirs "")
set(files "")
set(hashes "")
foreach(e IN LISTS entries)
    if(IS_DIRECTORY "${DATA_DIR}/${e}")
        list(APPEND dirs "${e}")
        continue()
    endif()
    file(SHA256 "${DATA_DIR}/${e}" h)
    string(APPEND hashes "; ${h} ${e}\n")
    if(NOT e STREQUAL "Vocastra.ini")
        list(APPEND files "${e}")
    endif()
endforeach()

# Folders are created on their own, so an empty one (IVR) is installed too.
set(install "!macro VocastraInstallData\n")
foreach(d IN LISTS dirs)
    installed_path(q "${d}")
    string(APPEND install "    CreateDirectory ${q}\n")
endforeach()
foreach(f IN LISTS files)
    get_filename_component(sub "${f}" DIRECTORY)
    installed_path(q "${sub}")
    string(APPEND install "    SetOutPath ${q}\n    File \"${DATA_DIR}/${f}\"\n")
endforeach()
string(APPEND install "    SetOutPath \"$INSTDIR\"\n!macroend\n")

set(remove "!macro VocastraRemoveData\n")
foreach(f IN LISTS files)
    installed_path(q "${f}")
    string(APPEND remove "    Delete ${q}\n")
endforeach()
# Deepest folders first; RMDir leaves a folder that still holds the user's files.
list(REVERSE dirs)
foreach(d IN LISTS dirs)
    installed_path(q "${d}")
    string(APPEND remove "    RMDir ${q}\n")
endforeach()
string(APPEND remove "!macroend\n")

set(text "; Generated from ${DATA_DIR}; do not edit.\n${hashes}${install}${remove}")
set(old "")
if(EXISTS "${OUT}")
    file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
    file(WRITE "${OUT}" "${text}")
endif()
