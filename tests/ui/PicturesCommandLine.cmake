# quorvale --print-pdf, --export and --print run without a window and end with 0, or with
# another code and the reason on stderr. Run by ctest with QUORVALE, TOOL and DIR set.
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
# The user's settings, where a run could leave its mark (the recent files above all).
set(ENV{XDG_CONFIG_HOME} "${DIR}/config")
# A print system of the machine's own stays out of it: none answers at this address.
set(ENV{CUPS_SERVER} "${DIR}/no-print-system.sock")
execute_process(COMMAND "${TOOL}" save "${DIR}/m.bio" --genes 40,-30,20,-40,30,-20,10,40,6,2,12,0,2,100,3,1,2,1,0
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the tool could not write the morph file")
endif()

# Each case: the arguments, the exit code wanted, a file it must make (or "-"), and a text
# stderr must hold (or "-").
function(expect code made said)
    execute_process(COMMAND "${QUORVALE}" ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err
                    OUTPUT_QUIET TIMEOUT 120)
    if(NOT "${rc}" STREQUAL "${code}")
        message(FATAL_ERROR "quorvale ${ARGN}: ended with ${rc}, not ${code}\n${err}")
    endif()
    if(NOT made STREQUAL "-" AND NOT EXISTS "${made}")
        message(FATAL_ERROR "quorvale ${ARGN}: made no ${made}")
    endif()
    if(NOT said STREQUAL "-" AND NOT err MATCHES "${said}")
        message(FATAL_ERROR "quorvale ${ARGN}: stderr does not say '${said}':\n${err}")
    endif()
endfunction()

expect(0 "${DIR}/m.pdf" - --print-pdf "${DIR}/m.pdf" "${DIR}/m.bio")
expect(0 "${DIR}/m.png" - --export "${DIR}/m.png" "${DIR}/m.bio")
expect(0 "${DIR}/m2.png" - --export "${DIR}/m2.png" --scale 2 "${DIR}/m.bio")
expect(0 "${DIR}/m.svg" - --export "${DIR}/m.svg" "${DIR}/m.bio")
expect(1 - "PNG \\(.png\\) or SVG" --export "${DIR}/m.jpg" "${DIR}/m.bio")
expect(1 - "not found" --print-pdf "${DIR}/x.pdf" "${DIR}/missing.bio")
expect(1 - "could not write the PDF file" --print-pdf "${DIR}/no/such/folder/x.pdf" "${DIR}/m.bio")
expect(2 - "1 to 4" --export "${DIR}/m5.png" --scale 5 "${DIR}/m.bio")
expect(2 - "needs a file" --print-pdf "${DIR}/m.pdf")
# No print system: said in words, nothing printed.
expect(1 - "no printer is available" --print "${DIR}/m.bio")

file(READ "${DIR}/m.svg" svg LIMIT 400)
if(NOT svg MATCHES "<svg")
    message(FATAL_ERROR "m.svg is not an SVG drawing")
endif()

# Printing and exporting from the command line leave the user's settings alone: no recent
# file, no settings file at all.
file(GLOB_RECURSE settings "${DIR}/config/*")
if(settings)
    message(FATAL_ERROR "a run without a window wrote the user's settings: ${settings}")
endif()
