# Runs quorvale-thumbnailer as a file manager does (INPUT OUTPUT SIZE) and checks what it
# leaves behind. Arguments: THUMBNAILER, TOOL (quorvale-tool, to write a real morph file),
# WORK_DIR.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

function(expect_exit code)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT rc STREQUAL "${code}")
        message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${code}\n${err}")
    endif()
endfunction()

# The width and height of a PNG, read from its header.
function(png_size path out)
    file(READ "${path}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 0 16 signature)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${path} is not a PNG")
    endif()
    string(SUBSTRING "${head}" 32 8 w)
    string(SUBSTRING "${head}" 40 8 h)
    math(EXPR w "0x${w}")
    math(EXPR h "0x${h}")
    set(${out} "${w}x${h}" PARENT_SCOPE)
endfunction()

set(bio "${WORK_DIR}/insect.bio")
expect_exit(0 "${TOOL}" save "${bio}" --basic)

foreach(size 16 128 256 1024)
    set(png "${WORK_DIR}/thumb-${size}.png")
    expect_exit(0 "${THUMBNAILER}" "${bio}" "${png}" ${size})
    png_size("${png}" got)
    if(NOT got STREQUAL "${size}x${size}")
        message(FATAL_ERROR "asked for ${size}, got ${got}")
    endif()
endforeach()

# Not a morph file: exit 2, and no picture, not even an empty file.
file(WRITE "${WORK_DIR}/other.bio" "SEQUENCE ACGT from another program\n")
file(WRITE "${WORK_DIR}/empty.bio" "")
foreach(input other.bio empty.bio missing.bio)
    set(png "${WORK_DIR}/${input}.png")
    expect_exit(2 "${THUMBNAILER}" "${WORK_DIR}/${input}" "${png}" 128)
    if(EXISTS "${png}")
        message(FATAL_ERROR "a picture was written for ${input}")
    endif()
endforeach()

# Usage errors.
expect_exit(1 "${THUMBNAILER}" "${bio}" "${WORK_DIR}/x.png")
expect_exit(1 "${THUMBNAILER}" "${bio}" "${WORK_DIR}/x.png" 0)
expect_exit(1 "${THUMBNAILER}" "${bio}" "${WORK_DIR}/x.png" 12x)
expect_exit(1 "${THUMBNAILER}" "${bio}" "${WORK_DIR}/x.png" 99999)
# An output that cannot be written.
expect_exit(3 "${THUMBNAILER}" "${bio}" "${WORK_DIR}/no-such-folder/x.png" 128)
