# Installs the build into a fresh prefix and checks one side of it as a desktop would see
# it. CHECK is one of:
#   tree           every file in place; the installed programs run from there
#   desktop-entry  desktop-file-validate, and the entry names what was installed
#   metainfo       appstreamcli validate --no-net, and it launches the installed entry
#   file-type      update-mime-database, then xdg-mime tells a morph file by name and by
#                  content and names Quorvale as the program that opens it
# A check whose tool is missing prints SKIPPED and passes as skipped.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${err}")
endif()
set(share "${prefix}/${DATADIR}")
set(bin "${prefix}/${BINDIR}")

macro(skip what)
    message("SKIPPED: ${what} is not installed")
    return()
endmacro()

function(run_ok)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN}\nexit ${rc}\n${out}\n${err}")
    endif()
    set(run_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(png_size path out)
    file(READ "${path}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 32 8 w)
    string(SUBSTRING "${head}" 40 8 h)
    math(EXPR w "0x${w}")
    math(EXPR h "0x${h}")
    set(${out} "${w}x${h}" PARENT_SCOPE)
endfunction()

# One key of the [Desktop Entry] group.
function(desktop_key file key out)
    file(STRINGS "${file}" lines REGEX "^${key}=")
    list(GET lines 0 line)
    string(REGEX REPLACE "^${key}=" "" value "${line}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(desktop "${share}/applications/${APP_ID}.desktop")
set(bio "${WORK_DIR}/insect.bio")

if(CHECK STREQUAL "tree")
    set(expected
        "${BINDIR}/quorvale"
        "${BINDIR}/quorvale-tool"
        "${BINDIR}/quorvale-thumbnailer"
        "${DATADIR}/applications/${APP_ID}.desktop"
        "${DATADIR}/metainfo/${APP_ID}.metainfo.xml"
        "${DATADIR}/mime/packages/${APP_ID}.xml"
        "${DATADIR}/thumbnailers/${APP_ID}.thumbnailer"
        "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg"
        "${MANDIR}/man1/quorvale.1"
        "${MANDIR}/man1/quorvale-tool.1"
        "${MANDIR}/man1/quorvale-thumbnailer.1"
        "${DOCDIR}/LICENSE"
        "${DOCDIR}/copyright"
        "${DOCDIR}/README.md")
    foreach(size 16 22 24 32 48 64 128 256)
        list(APPEND expected "${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
    endforeach()
    foreach(path IN LISTS expected)
        if(NOT EXISTS "${prefix}/${path}")
            message(FATAL_ERROR "not installed: ${path}")
        endif()
    endforeach()
    foreach(program quorvale quorvale-tool quorvale-thumbnailer)
        if(NOT IS_DIRECTORY "${bin}" OR NOT EXISTS "${bin}/${program}")
            message(FATAL_ERROR "${program} missing")
        endif()
        file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${bin}/${program}"
             RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR unresolved)
        if(unresolved)
            message(FATAL_ERROR "${program} needs libraries that cannot be found: ${unresolved}")
        endif()
        if(program STREQUAL "quorvale-thumbnailer")
            # It runs where there is no display: Qt Gui, never Widgets.
            if(resolved MATCHES "Qt6Widgets")
                message(FATAL_ERROR "quorvale-thumbnailer links Qt Widgets")
            endif()
        endif()
    endforeach()
    # Every theme size holds a picture of that size.
    foreach(size 16 22 24 32 48 64 128 256)
        png_size("${share}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png" got)
        if(NOT got STREQUAL "${size}x${size}")
            message(FATAL_ERROR "the ${size}x${size} icon is ${got}")
        endif()
    endforeach()
    # The installed programs work from the prefix.
    run_ok("${bin}/quorvale-tool" save "${bio}" --basic)
    run_ok("${bin}/quorvale-thumbnailer" "${bio}" "${WORK_DIR}/insect.png" 128)
    png_size("${WORK_DIR}/insect.png" got)
    if(NOT got STREQUAL "128x128")
        message(FATAL_ERROR "the thumbnail is ${got}")
    endif()
    # One version everywhere: the programs, the manual pages and the software-centre data
    # all say the build's.
    foreach(program quorvale quorvale-tool)
        run_ok(${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "${bin}/${program}" --version)
        string(REPLACE "quorvale" "Quorvale" name "${program}")
        string(FIND "${run_output}" "${program} ${VERSION}\n" at)
        string(FIND "${run_output}" "${name} ${VERSION}\n" at_named)
        if(at EQUAL -1 AND at_named EQUAL -1)
            message(FATAL_ERROR "${program} --version printed: ${run_output}")
        endif()
    endforeach()
    foreach(page quorvale quorvale-tool quorvale-thumbnailer)
        file(STRINGS "${prefix}/${MANDIR}/man1/${page}.1" th REGEX "^\\.TH ")
        string(FIND "${th}" "\"Quorvale ${VERSION}\"" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${page}.1 names another version: ${th}")
        endif()
    endforeach()
    file(READ "${share}/metainfo/${APP_ID}.metainfo.xml" xml)
    string(REGEX MATCH "<release version=\"([^\"]*)\"" ignored "${xml}")
    if(NOT "${CMAKE_MATCH_1}" STREQUAL "${VERSION}")
        message(FATAL_ERROR "the newest release in the metainfo is '${CMAKE_MATCH_1}'")
    endif()

elseif(CHECK STREQUAL "desktop-entry")
    find_program(VALIDATE desktop-file-validate)
    if(NOT VALIDATE)
        skip(desktop-file-validate)
    endif()
    foreach(file "${desktop}")
        run_ok("${VALIDATE}" "${file}")
        if(run_output MATCHES "error:|warning:")
            message(FATAL_ERROR "${file}:\n${run_output}")
        endif()
    endforeach()
    desktop_key("${desktop}" Exec exec)
    desktop_key("${desktop}" Icon icon)
    desktop_key("${desktop}" MimeType types)
    desktop_key("${desktop}" Categories categories)
    if(NOT exec STREQUAL "quorvale %f")
        message(FATAL_ERROR "Exec=${exec}")
    endif()
    if(NOT EXISTS "${bin}/quorvale")
        message(FATAL_ERROR "Exec names a program that was not installed")
    endif()
    if(NOT EXISTS "${share}/icons/hicolor/scalable/apps/${icon}.svg")
        message(FATAL_ERROR "Icon=${icon} is not in the installed theme")
    endif()
    if(NOT types MATCHES "application/x-quorvale-bio;")
        message(FATAL_ERROR "MimeType=${types}")
    endif()
    if(NOT categories STREQUAL "Education;Science;Biology;")
        message(FATAL_ERROR "Categories=${categories}")
    endif()
    # The thumbnailer entry is a desktop-style file as well: it runs the installed program
    # for the same file type.
    set(thumbnailer "${share}/thumbnailers/${APP_ID}.thumbnailer")
    file(READ "${thumbnailer}" entry)
    if(NOT entry MATCHES "\nExec=quorvale-thumbnailer %i %o %s\n" OR
       NOT entry MATCHES "\nMimeType=application/x-quorvale-bio;\n")
        message(FATAL_ERROR "${thumbnailer}:\n${entry}")
    endif()

elseif(CHECK STREQUAL "metainfo")
    find_program(APPSTREAMCLI appstreamcli)
    if(NOT APPSTREAMCLI)
        skip(appstreamcli)
    endif()
    set(metainfo "${share}/metainfo/${APP_ID}.metainfo.xml")
    run_ok("${APPSTREAMCLI}" validate --no-net "${metainfo}")
    file(READ "${metainfo}" xml)
    foreach(needed "<id>${APP_ID}</id>" "<project_license>MIT</project_license>"
                   "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
                   "<screenshot type=\"default\">" "<release version=\"")
        string(FIND "${xml}" "${needed}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "the metainfo lacks ${needed}")
        endif()
    endforeach()
    # The screenshot it names is the one kept in the repository.
    if(NOT EXISTS "${SOURCE_DIR}/docs/screenshot.png")
        message(FATAL_ERROR "docs/screenshot.png is missing")
    endif()

elseif(CHECK STREQUAL "file-type")
    find_program(UPDATE_MIME update-mime-database)
    find_program(UPDATE_DESKTOP update-desktop-database)
    find_program(XDG_MIME xdg-mime)
    find_program(MIMETYPE mimetype)
    foreach(tool UPDATE_MIME UPDATE_DESKTOP XDG_MIME MIMETYPE)
        if(NOT ${tool})
            skip(${tool})
        endif()
    endforeach()
    run_ok("${UPDATE_MIME}" "${share}/mime")
    run_ok("${UPDATE_DESKTOP}" "${share}/applications")
    run_ok("${bin}/quorvale-tool" save "${bio}" --basic)
    # A morph file without the extension is known by its signature alone.
    file(COPY_FILE "${bio}" "${WORK_DIR}/insect-no-extension")
    # A file of another program with a name ending in .bio is not told apart by xdg-mime,
    # which trusts the name; so only the morph files are checked here.
    file(MAKE_DIRECTORY "${WORK_DIR}/home" "${WORK_DIR}/config")
    # Only the prefix and nobody's own settings: a desktop session, if any, is hidden too.
    set(env ${CMAKE_COMMAND} -E env
        --unset=XDG_CURRENT_DESKTOP --unset=DESKTOP_SESSION --unset=KDE_FULL_SESSION
        --unset=GNOME_DESKTOP_SESSION_ID --unset=MATE_DESKTOP_SESSION_ID
        "XDG_DATA_DIRS=${share}" "XDG_DATA_HOME=${WORK_DIR}/home"
        "XDG_CONFIG_HOME=${WORK_DIR}/config" "XDG_CONFIG_DIRS=${WORK_DIR}/config"
        "HOME=${WORK_DIR}/home")
    foreach(file "${bio}" "${WORK_DIR}/insect-no-extension")
        run_ok(${env} "${XDG_MIME}" query filetype "${file}")
        string(STRIP "${run_output}" type)
        if(NOT type STREQUAL "application/x-quorvale-bio")
            message(FATAL_ERROR "xdg-mime query filetype ${file}: '${type}'")
        endif()
    endforeach()
    run_ok(${env} "${XDG_MIME}" query default application/x-quorvale-bio)
    string(STRIP "${run_output}" handler)
    if(NOT handler STREQUAL "${APP_ID}.desktop")
        message(FATAL_ERROR "xdg-mime query default: '${handler}'")
    endif()
    # Without the installed type the same file is not ours: the answer comes from the prefix.
    file(REMOVE_RECURSE "${share}/mime")
    execute_process(COMMAND ${env} "${XDG_MIME}" query filetype "${bio}"
                    OUTPUT_VARIABLE unknown ERROR_QUIET)
    if(unknown MATCHES "x-quorvale-bio")
        message(FATAL_ERROR "the file type is known without the installed package")
    endif()
else()
    message(FATAL_ERROR "unknown CHECK ${CHECK}")
endif()
