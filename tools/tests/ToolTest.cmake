# End-to-end cases for quorvale-tool, run as
#   cmake -DTOOL=<tool> -DCASE=<name> -DWORK_DIR=<scratch folder> -P ToolTest.cmake
# Each case runs the real executable and checks its exit code, stdout and stderr (and the
# files it writes). Expected values are worked out by hand from the development, mutation
# and file rules, not copied from the tool's output.

cmake_minimum_required(VERSION 3.25)

foreach(var TOOL CASE WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ToolTest.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# ---------------------------------------------------------------------------------------
# Helpers

# Runs the tool; sets RUN_RC, RUN_OUT, RUN_ERR and RUN_WHAT (the command, for messages).
# Standard input is empty.
function(run_tool)
    execute_process(COMMAND "${TOOL}" ${ARGN} INPUT_FILE /dev/null
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    list(JOIN ARGN " " what)
    set(RUN_RC "${rc}" PARENT_SCOPE)
    set(RUN_OUT "${out}" PARENT_SCOPE)
    set(RUN_ERR "${err}" PARENT_SCOPE)
    set(RUN_WHAT "quorvale-tool ${what}" PARENT_SCOPE)
endfunction()

# Runs `quorvale-tool FIRST | quorvale-tool SECOND` (each a list of arguments), the first
# reading the file INPUT (or nothing when INPUT is empty) and the second writing to the
# file OUTPUT when one is given. Sets the same variables as run_tool: RUN_RC is the second
# command's exit code and RUN_ERR holds both commands' stderr.
function(run_pipe first second)
    cmake_parse_arguments(PIPE "" "INPUT;OUTPUT" "" ${ARGN})
    if(NOT PIPE_INPUT)
        set(PIPE_INPUT /dev/null)
    endif()
    set(output_args OUTPUT_VARIABLE out)
    if(PIPE_OUTPUT)
        set(output_args OUTPUT_FILE "${PIPE_OUTPUT}")
    endif()
    execute_process(COMMAND "${TOOL}" ${first} COMMAND "${TOOL}" ${second}
                    INPUT_FILE "${PIPE_INPUT}" ${output_args}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    list(JOIN first " " what1)
    list(JOIN second " " what2)
    set(RUN_RC "${rc}" PARENT_SCOPE)
    set(RUN_OUT "${out}" PARENT_SCOPE)
    set(RUN_ERR "${err}" PARENT_SCOPE)
    set(RUN_WHAT "quorvale-tool ${what1} | quorvale-tool ${what2}" PARENT_SCOPE)
endfunction()

# Runs the tool with standard input read from the file; the same variables as run_tool.
function(run_tool_input input)
    execute_process(COMMAND "${TOOL}" ${ARGN} INPUT_FILE "${input}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    list(JOIN ARGN " " what)
    set(RUN_RC "${rc}" PARENT_SCOPE)
    set(RUN_OUT "${out}" PARENT_SCOPE)
    set(RUN_ERR "${err}" PARENT_SCOPE)
    set(RUN_WHAT "quorvale-tool ${what} < ${input}" PARENT_SCOPE)
endfunction()

# Runs the tool with standard output on a terminal (a pseudo-terminal made by script(1));
# RUN_OUT holds what the terminal showed, stdout and stderr together.
function(run_tool_on_terminal)
    set(command "'${TOOL}'")
    foreach(arg IN LISTS ARGN)
        string(APPEND command " '${arg}'")
    endforeach()
    execute_process(COMMAND script -qec "${command}" /dev/null INPUT_FILE /dev/null
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(RUN_RC "${rc}" PARENT_SCOPE)
    set(RUN_OUT "${out}" PARENT_SCOPE)
    set(RUN_ERR "${err}" PARENT_SCOPE)
    set(RUN_WHAT "quorvale-tool ${ARGN} (on a terminal)" PARENT_SCOPE)
endfunction()

function(fail text)
    message(FATAL_ERROR "${RUN_WHAT}\n  ${text}\n  exit code: ${RUN_RC}\n"
                        "  stdout: ${RUN_OUT}\n  stderr: ${RUN_ERR}")
endfunction()

# A successful run prints one line of compact JSON and nothing on stderr.
function(expect_json_success)
    if(NOT RUN_RC EQUAL 0)
        fail("expected success")
    endif()
    if(NOT RUN_ERR STREQUAL "")
        fail("expected nothing on stderr")
    endif()
    if(NOT RUN_OUT MATCHES "^[^ \n]+\n$")
        fail("expected one line of JSON without spaces")
    endif()
    string(JSON ignored ERROR_VARIABLE error TYPE "${RUN_OUT}")
    if(error)
        fail("stdout is not JSON: ${error}")
    endif()
endfunction()

# A success that prints nothing at all (the output went to a file).
function(expect_silent_success)
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_OUT STREQUAL "" OR NOT RUN_ERR STREQUAL "")
        fail("expected a silent success")
    endif()
endfunction()

function(expect_failure rc stderr_regex)
    if(NOT RUN_RC EQUAL rc)
        fail("expected exit code ${rc}")
    endif()
    if(NOT RUN_OUT STREQUAL "")
        fail("expected nothing on stdout")
    endif()
    if(NOT RUN_ERR MATCHES "${stderr_regex}")
        fail("stderr does not match '${stderr_regex}'")
    endif()
endfunction()

# Compact text of a JSON element of the last output (string(JSON) pretty-prints arrays).
function(json_get var)
    string(JSON value ERROR_VARIABLE error GET "${RUN_OUT}" ${ARGN})
    if(error)
        fail("no element ${ARGN}: ${error}")
    endif()
    string(REGEX REPLACE "[ \n]" "" value "${value}")
    set(${var} "${value}" PARENT_SCOPE)
endfunction()

function(expect_element expected)
    json_get(actual ${ARGN})
    if(NOT actual STREQUAL expected)
        fail("element ${ARGN} is ${actual}, expected ${expected}")
    endif()
endfunction()

function(expect_length expected)
    string(JSON actual ERROR_VARIABLE error LENGTH "${RUN_OUT}" ${ARGN})
    if(error OR NOT actual EQUAL expected)
        fail("element ${ARGN} has length ${actual}, expected ${expected} ${error}")
    endif()
endfunction()

# Genomes used by several cases. kDefault is a new morph's genome.
set(kDefault -10,-10,-10,-10,-10,0,10,10,7,1,10,0,0,100,0,0,0,1,0)
set(kBasic -10,-10,-10,-10,-10,0,10,10,7,1,20,0,0,100,0,1,2,1,0)
set(kZeros 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0)

# ---------------------------------------------------------------------------------------
# develop: strokes, joints, bounds and offset of hand-worked morphs.

# One row of the develop table: the tool's arguments (a list), then the expected stroke
# count, leading strokes, joints, bounds and offset.
function(check_develop args strokes leading joints bounds offset)
    run_tool(develop ${args})
    expect_json_success()
    expect_length(${strokes} strokes)
    set(index 0)
    foreach(stroke IN LISTS leading)
        expect_element("${stroke}" strokes ${index})
        math(EXPR index "${index} + 1")
    endforeach()
    expect_element("${joints}" joints)
    expect_element("${bounds}" bounds)
    expect_element("${offset}" offset)
endfunction()

if(CASE STREQUAL "develop")
    # The default genome is a full tree of depth 7 growing upwards from the origin.
    check_develop("" 127 "[0,0,0,-7];[0,-7,-6,-13];[-6,-13,-11,-13]" "[]"
                  "[-21,-14,21,14]" "[0,14]")
    # With no special gene present the line margin is the thickness gene itself, 1.
    check_develop("--present;none" 127 "[0,0,0,-7]" "[]" "[-22,-15,22,15]" "[0,14]")
    # Three segments 10 pixels apart: two joints, and the trees stack upwards.
    check_develop("--genes;-10,-10,-10,-10,-10,0,10,10,7,3,10,0,0,100,0,0,0,1,0" 381
                  "[0,0,0,-7]" "[[0,0,0,-10],[0,-10,0,-20]]" "[-21,-24,21,24]" "[0,24]")
    # Four arms: the picture is symmetric about the origin.
    check_develop("--genes;-10,-10,-10,-10,-10,0,10,10,7,1,10,0,2,100,0,0,0,1,0" 508
                  "[0,0,0,-7]" "[]" "[-28,-28,28,28]" "[0,0]")
    # A quarter turn makes the trunk point right; the origin and bounds move with --at.
    check_develop("--at;100,50;--orientation;1" 127 "[100,50,107,50]" "[]"
                  "[86,29,114,71]" "[-14,0]")

# ---------------------------------------------------------------------------------------
# mutate, monster, offspring: the generator seeded with 1 gives 41, 18467, 6334, ...

elseif(CASE STREQUAL "mutate")
    # r = 42: a gene changes; 18467 mod 9 = 8 picks gene 9; 6334 is even: one step up.
    run_tool(mutate --seed 1 --basic --mutable none)
    expect_json_success()
    expect_element("[-10,-10,-10,-10,-10,0,10,10,8,1,20,0,0,100,0,1,2,1,0]" genes)
    expect_element("[${kZeros}]" gradients)

    # A rate of 0 makes no pass at all.
    run_tool(mutate --seed 1 --rate 0 --genes 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19
             --gradients 2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2)
    expect_json_success()
    expect_element("[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19]" genes)
    expect_element("[2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2]" gradients)

elseif(CASE STREQUAL "monster")
    # Gene 1 = -200 + 41 mod 401, gradient kept (18467 mod 4 = 3); genes 2 and 3 follow
    # with gradient -2. The special genes are not mutable at start-up and keep their values.
    run_tool(monster --seed 1)
    expect_json_success()
    foreach(row "0;-159;0" "1;119;-2" "2;122;-2")
        list(GET row 0 index)
        list(GET row 1 gene)
        list(GET row 2 gradient)
        expect_element("${gene}" genes ${index})
        expect_element("${gradient}" gradients ${index})
    endforeach()
    string(REPLACE "," ";" defaults "${kDefault}")
    foreach(index RANGE 9 18)
        list(GET defaults ${index} expected)
        expect_element("${expected}" genes ${index})
    endforeach()

elseif(CASE STREQUAL "offspring")
    # The first offspring is the parent mutated once right after seeding.
    run_tool(mutate --seed 1 --basic --mutable none)
    set(first_mutant "${RUN_OUT}")
    run_tool(offspring --seed 1 --basic --mutable none)
    expect_json_success()
    expect_length(14 offspring)
    json_get(first offspring 0)
    string(STRIP "${first_mutant}" first_mutant)
    if(NOT first STREQUAL first_mutant)
        fail("first offspring ${first} differs from the single mutant ${first_mutant}")
    endif()
    # Every child is bred from the parent, not from its elder sibling: at rate 1 on an
    # unsegmented genome it differs from the parent in one gene at most.
    string(REPLACE "," ";" parent "${kBasic}")
    foreach(child RANGE 13)
        json_get(genes offspring ${child} genes)
        string(REGEX REPLACE "[][]" "" genes "${genes}")
        string(REPLACE "," ";" genes "${genes}")
        set(changed 0)
        foreach(index RANGE 18)
            list(GET genes ${index} a)
            list(GET parent ${index} b)
            if(NOT a EQUAL b)
                math(EXPR changed "${changed} + 1")
            endif()
        endforeach()
        if(changed GREATER 1)
            fail("offspring ${child} differs from the parent in ${changed} genes")
        endif()
    endforeach()
    run_tool(offspring --seed 7 --count 3 --rate 2.5)
    expect_json_success()
    expect_length(3 offspring)

# ---------------------------------------------------------------------------------------
# .bio files

elseif(CASE STREQUAL "bio-round-trip")
    set(genes 1,-2,3,-4,5,-6,7,-8,9,2,-11,1,2,-140,3,160,155,-8,10)
    set(gradients 2,-2,2,-2,2,-2,2,-2,2,2,-2,2,-2,2,-2,2,-2,2,-2)
    # Files keep every gradient but 10, 12 and 13.
    set(stored 2,-2,2,-2,2,-2,2,-2,2,0,-2,0,0,2,-2,2,-2,2,-2)
    set(path "${WORK_DIR}/morph.bio")

    # The second save replaces the first file.
    run_tool(save "${path}" --basic)
    run_tool(save "${path}" --genes ${genes} --gradients ${gradients})
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_OUT STREQUAL "" OR NOT RUN_ERR STREQUAL "")
        fail("expected a silent success")
    endif()
    file(SIZE "${path}" size)
    if(NOT size EQUAL 164)
        fail("the file has ${size} bytes, expected 164")
    endif()
    # Length 19, the signature, version 1, then gene 1 = 1 and gene 2 = -2.
    file(READ "${path}" head LIMIT 32 HEX)
    string(CONCAT expected "13" "51756f7276616c65204b656c646f72204c7464" "01000000"
                          "01000000" "feffffff")
    if(NOT head STREQUAL expected)
        fail("the file starts ${head}, expected ${expected}")
    endif()

    run_tool(info "${path}")
    expect_json_success()
    expect_element("[${genes}]" genes)
    expect_element("[${stored}]" gradients)

    # The unstored gradients come from the options, as a loading morph keeps its own.
    run_tool(info "${path}" --gradients ${gradients})
    expect_json_success()
    expect_element("[${gradients}]" gradients)

    # A file is a genome source like any other.
    run_tool(develop --genes ${genes} --gradients ${stored})
    set(from_options "${RUN_OUT}")
    run_tool(develop --file "${path}")
    expect_json_success()
    if(NOT RUN_OUT STREQUAL from_options)
        fail("developing the file differs from developing its genome")
    endif()

    # A save that cannot be made fails with the file error and leaves nothing behind.
    run_tool(save "${WORK_DIR}/missing/morph.bio" --basic)
    expect_failure(1 "missing/morph\\.bio")
    if(EXISTS "${WORK_DIR}/missing")
        fail("the failed save created something")
    endif()

elseif(CASE STREQUAL "bio-rejected")
    # Files are built here byte by byte; a CMake string cannot hold a zero byte, so the file cut inside
    # its record is a prefix of a good file.
    string(ASCII 19 len)
    string(ASCII 1 one)
    string(ASCII 2 two)
    file(WRITE "${WORK_DIR}/empty.bio" "")
    file(WRITE "${WORK_DIR}/short-header.bio" "${len}Quorvale Keldor Ltd${one}")
    file(WRITE "${WORK_DIR}/lower-case.bio" "${len}quorvale keldor ltd${one}${one}${one}${one}")
    file(WRITE "${WORK_DIR}/version.bio" "${len}Quorvale Keldor Ltd${two}${one}${one}${one}")
    run_tool(save "${WORK_DIR}/good.bio" --basic)
    execute_process(COMMAND head -c 100 "${WORK_DIR}/good.bio"
                    OUTPUT_FILE "${WORK_DIR}/short-record.bio" RESULT_VARIABLE rc)
    file(SIZE "${WORK_DIR}/short-record.bio" size)
    if(NOT rc EQUAL 0 OR NOT size EQUAL 100)
        message(FATAL_ERROR "could not cut the good file to 100 bytes")
    endif()

    set(rows
        "empty.bio|empty\\.bio is empty"
        "short-header.bio|short-header\\.bio: The file is cut short: it ends before the whole creature is read\\.\n"
        "short-record.bio|short-record\\.bio: The file is cut short: it ends before the whole creature is read\\.\n"
        "lower-case.bio|Incorrect file type!"
        "version.bio|This file is not compatible with\nQuorvale version 2\\.0b"
        "absent.bio|absent\\.bio was not found\\.")
    foreach(row IN LISTS rows)
        string(REPLACE "|" ";" row "${row}")
        list(GET row 0 name)
        list(GET row 1 message)
        # The same refusal whether the file is shown or used as the genome.
        run_tool(info "${WORK_DIR}/${name}")
        expect_failure(2 "${message}")
        run_tool(mutate --seed 1 --file "${WORK_DIR}/${name}")
        expect_failure(2 "${message}")
    endforeach()

# Special files are refused by name without waiting on them (a run that waited on the pipe
# would end by the test's timeout); the longest names, links and huge files work.
elseif(CASE STREQUAL "files")
    execute_process(COMMAND mkfifo "${WORK_DIR}/pipe.bio" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "mkfifo failed")
    endif()
    file(CREATE_LINK /dev/zero "${WORK_DIR}/zero.bio" SYMBOLIC)
    file(MAKE_DIRECTORY "${WORK_DIR}/folder.bio")
    set(rows
        "pipe.bio|is a named pipe \\(FIFO\\), not a regular file\\.\n"
        "zero.bio|is a device, not a regular file\\.\n"
        "folder.bio|is a folder, not a regular file\\.\n")
    foreach(row IN LISTS rows)
        string(REPLACE "|" ";" row "${row}")
        list(GET row 0 name)
        list(GET row 1 message)
        set(path "${WORK_DIR}/${name}")
        run_tool(info "${path}")
        expect_failure(2 "${name} ${message}")
        run_tool(mutate --seed 1 --file "${path}")
        expect_failure(2 "${name} ${message}")
        # Nor is one replaced by a file when written to.
        run_tool(save "${path}" --basic)
        expect_failure(1 "${name} ${message}")
        run_tool(render -o "${path}" --format svg --basic)
        expect_failure(1 "${name} ${message}")
    endforeach()
    execute_process(COMMAND test -p "${WORK_DIR}/pipe.bio" RESULT_VARIABLE rc)
    if(NOT IS_SYMLINK "${WORK_DIR}/zero.bio" OR NOT IS_DIRECTORY "${WORK_DIR}/folder.bio"
       OR NOT rc EQUAL 0)
        message(FATAL_ERROR "a refused save changed the special file")
    endif()

    # A name of 255 bytes, new and over itself.
    string(REPEAT "y" 251 long)
    set(path "${WORK_DIR}/${long}.bio")
    foreach(i 1 2)
        run_tool(save "${path}" --genes 1,2,3,4,5,6,7,8,9,2,1,1,2,4,5,6,7,8,9)
        if(NOT RUN_RC EQUAL 0 OR NOT RUN_ERR STREQUAL "")
            fail("expected the 255-byte name to save")
        endif()
    endforeach()
    run_tool(info "${path}")
    expect_json_success()
    expect_element("[1,2,3,4,5,6,7,8,9,2,1,1,2,4,5,6,7,8,9]" genes)
    run_tool(save "${WORK_DIR}/${long}y.bio" --basic)
    expect_failure(1 "is too long for the file system")

    # A link to a file not made yet: the file is made where it leads and the link stays.
    file(MAKE_DIRECTORY "${WORK_DIR}/sub")
    file(CREATE_LINK "../made.bio" "${WORK_DIR}/sub/link.bio" SYMBOLIC)
    run_tool(save "${WORK_DIR}/sub/link.bio" --basic)
    if(NOT RUN_RC EQUAL 0 OR NOT IS_SYMLINK "${WORK_DIR}/sub/link.bio"
       OR NOT EXISTS "${WORK_DIR}/made.bio")
        fail("expected the save to make made.bio and keep the link")
    endif()
    file(SIZE "${WORK_DIR}/made.bio" size)
    if(NOT size EQUAL 164)
        fail("made.bio has ${size} bytes")
    endif()

    # A good file grown to a gibibyte (sparse) reads as quickly as the 164 bytes it starts with.
    execute_process(COMMAND truncate -s 1G "${WORK_DIR}/made.bio" RESULT_VARIABLE rc)
    run_tool(info "${WORK_DIR}/sub/link.bio")
    expect_json_success()

# ---------------------------------------------------------------------------------------
# Command line

elseif(CASE STREQUAL "usage")
    run_tool(--help)
    if(NOT RUN_RC EQUAL 0)
        fail("--help should succeed")
    endif()
    foreach(word develop mutate monster offspring info save render code --genes --gradients
                 --basic --file --present --mutable --at --orientation --seed --rate --count
                 --size -o --genome-json --format --code --version)
        if(NOT RUN_OUT MATCHES "${word}")
            fail("the help does not mention ${word}")
        endif()
    endforeach()

    set(g18 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18)
    # Arguments (separated by |) and what stderr must say; each is a usage error, exit 1.
    set(rows
        "frobnicate|unknown subcommand 'frobnicate'"
        "develop|--bogus|unknown option '--bogus'"
        "develop|--seed|1|--seed does not apply to develop"
        "mutate|mutate needs --seed"
        "mutate|--seed|1|--seed|2|--seed is given more than once"
        "mutate|--seed|1x|--seed: '1x' is not a whole number"
        "mutate|--seed|1|--rate|nan|--rate: 'nan' is not a number"
        "develop|--genes|${g18}|--genes needs exactly 19 values"
        "develop|--genes|${g18},2147483648|'2147483648' is out of range"
        "develop|--genes|${g18},-2147483649|'-2147483649' is out of range"
        "develop|--genes|${g18},7a|'7a' is not a whole number"
        "develop|--gradients|${g18},19,20|--gradients needs exactly 19 values"
        "develop|--present|9|gene 9 is not a special gene"
        "develop|--mutable|10,,12|'' is not a gene number"
        "develop|--basic|--genes|${kDefault}|only one of --genes, --basic, --file, --genome-json and --code"
        "develop|--orientation|4|--orientation: '4' is out of range"
        "develop|--at|1,2,3|--at needs exactly 2 values"
        "info|info needs PATH\\.bio"
        "save|a.bio|b.bio|unexpected argument 'b.bio'"
        "render|render needs -o"
        "render|-o|x.svg|--size|400|'400' is not a size"
        # A usage mistake is reported as such even when the named file is also bad.
        "develop|--file|${WORK_DIR}/absent.bio|--orientation|9|'9' is out of range")
    foreach(row IN LISTS rows)
        string(REPLACE "|" ";" args "${row}")
        list(POP_BACK args message)
        run_tool(${args})
        expect_failure(1 "${message}.*--help")
    endforeach()

# ---------------------------------------------------------------------------------------
# render

elseif(CASE STREQUAL "render")
    set(svg "${WORK_DIR}/basic.svg")
    run_tool(render --basic -o "${svg}" --size 120x80)
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_OUT STREQUAL "" OR NOT RUN_ERR STREQUAL "")
        fail("expected a silent success")
    endif()
    file(READ "${svg}" text)
    set(patterns
        "<svg [^>]*width=\"120\" height=\"80\""
        "shape-rendering=\"crispEdges\""
        "<rect width=\"120\" height=\"80\" fill=\"#ffffff\"/>"
        "</svg>\n$")
    if(PNG)
        # The program's pixels as shapes: one path of rectangles for the black ink, no strokes.
        list(APPEND patterns "<path fill=\"#000000\" d=\"M[0-9]+ [0-9]+h[0-9]+v[0-9]+h-[0-9]+z")
        set(colour_attribute "fill")
        set(colours "fill=\"#ffffff\";fill=\"#000000\"")
    else()
        # Measured with offset (0, 14), the morph's origin pixel lands at (60, 54).
        list(APPEND patterns
             "<rect x=\"59.5\" y=\"53.5\" width=\"1\" height=\"1\" fill=\"#000000\""
             "<line ")
        set(colour_attribute "stroke")
        set(colours "stroke=\"#000000\"")
    endif()
    foreach(pattern IN LISTS patterns)
        if(NOT text MATCHES "${pattern}")
            fail("${svg} does not match ${pattern}")
        endif()
    endforeach()
    if(PNG AND text MATCHES "<line ")
        fail("${svg} holds strokes, not the program's pixels")
    endif()
    # The basic morph draws with white in XOR mode, which shows black on white.
    string(REGEX MATCHALL "${colour_attribute}=\"#[0-9a-f]+\"" pens "${text}")
    list(REMOVE_DUPLICATES pens)
    if(NOT pens STREQUAL "${colours}")
        fail("the basic morph should be drawn in black only, not ${pens}")
    endif()
    if(PNG)
        # Above the size of a PNG picture the pixels are not drawn: the strokes are written.
        set(svg "${WORK_DIR}/wide.svg")
        run_tool(render --basic -o "${svg}" --size 8001x60)
        file(READ "${svg}" text)
        if(NOT RUN_RC EQUAL 0 OR NOT text MATCHES "<line " OR NOT text MATCHES "</svg>\n$")
            fail("${svg}: expected the strokes of the morph")
        endif()
    endif()

    # Vectors of two billion throw strokes hundreds of millions of pixels out, and a pen a
    # million pixels wide paints over everything. Whatever the branch style (lines,
    # triangles, circular tips, leaves), what is written is cut back near the picture.
    foreach(style 0 1 2 3)
        set(svg "${WORK_DIR}/far-${style}.svg")
        string(CONCAT far "2000000000,-2000000000,1500000000,-2000000000,1900000000,"
                          "-1000000000,2000000000,-2000000000,9,3,3,0,2,2000000000,${style},0,"
                          "80,1000000,5")
        run_tool(render -o "${svg}" --genes ${far})
        if(NOT RUN_RC EQUAL 0)
            fail("expected success")
        endif()
        file(READ "${svg}" text)
        if(text MATCHES "[0-9][0-9][0-9][0-9][0-9][0-9][0-9]" OR NOT text MATCHES "</svg>\n$")
            fail("${svg} holds far coordinates or is not complete")
        endif()
    endforeach()

    # A segment count far past its limit grows only as many segments as development allows
    # (four arms of 20 segments of 511 strokes, changing colour at every level): fewer
    # elements than the cap, so the whole picture is written.
    set(svg "${WORK_DIR}/crowded.svg")
    run_tool(render -o "${svg}" --genes 2,-2,1,-2,1,-1,2,-2,9,100,0,0,2,100,0,0,80,1,0)
    if(NOT RUN_RC EQUAL 0 OR RUN_ERR MATCHES "left out")
        fail("expected success with no element left out: ${RUN_ERR}")
    endif()
    file(SIZE "${svg}" size)
    math(EXPR tail_offset "${size} - 7")
    file(READ "${svg}" tail OFFSET ${tail_offset})
    if(size GREATER 40000000 OR NOT tail STREQUAL "</svg>\n")
        fail("${svg} has ${size} bytes and ends with ${tail}")
    endif()
# ---------------------------------------------------------------------------------------
# --version

elseif(CASE STREQUAL "version")
    # The tool comes with the program and shows the program's own version, the build's, which
    # the About box, the messages and the package use too.
    set(version "${VERSION}")
    if(version STREQUAL "")
        message(FATAL_ERROR "no VERSION given")
    endif()
    # Anywhere on the line, like --help, and before any usage mistake is looked for.
    foreach(args "--version" "render;--version" "mutate;--version;--seed;x")
        run_tool(${args})
        if(NOT RUN_RC EQUAL 0 OR NOT RUN_OUT STREQUAL "quorvale-tool ${version}\n"
           OR NOT RUN_ERR STREQUAL "")
            fail("expected 'quorvale-tool ${version}'")
        endif()
    endforeach()

# ---------------------------------------------------------------------------------------
# Pipes: "-" is standard input or output wherever a file is read or written.

elseif(CASE STREQUAL "pipes")
    # mutate | render: the mutant drawn from the pipe is the mutant drawn from its genes.
    set(mutate mutate --seed 4 --basic --rate 3)
    run_tool(${mutate})
    expect_json_success()
    json_get(genes genes)
    json_get(gradients gradients)
    string(REGEX REPLACE "[][]" "" genes "${genes}")
    string(REGEX REPLACE "[][]" "" gradients "${gradients}")
    if(genes STREQUAL kBasic)
        fail("the mutant should differ from the basic genome")
    endif()
    run_tool(render --genes ${genes} --gradients ${gradients} -o -)
    set(expected_svg "${RUN_OUT}")
    run_pipe("${mutate}" "render;--genome-json;-;-o;-")
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_ERR STREQUAL "" OR NOT RUN_OUT STREQUAL expected_svg)
        fail("the piped mutant draws differently from its genes")
    endif()
    if(PNG)
        run_tool(render --genes ${genes} --gradients ${gradients} -o "${WORK_DIR}/genes.png")
        expect_silent_success()
        run_pipe("${mutate}" "render;--genome-json;-;-o;${WORK_DIR}/piped.png")
        expect_silent_success()
        file(SHA256 "${WORK_DIR}/genes.png" a)
        file(SHA256 "${WORK_DIR}/piped.png" b)
        if(NOT a STREQUAL b)
            fail("the piped mutant's PNG differs")
        endif()
    endif()

    # One element of offspring, as a JSON tool would pick it out (spread over lines and
    # indented), saved to stdout and read back by info from stdin: the file keeps every
    # gradient but 10, 12 and 13.
    run_tool(offspring --seed 9 --count 5 --genes -10,-10,-10,-10,-10,0,10,10,7,3,10,0,0,100,0,0,0,1,0
             --gradients 1,0,0,0,0,0,0,0,0,2,0,3,4,0,0,0,0,0,-1)
    expect_json_success()
    string(JSON element GET "${RUN_OUT}" offspring 3)
    json_get(genes offspring 3 genes)
    json_get(gradients offspring 3 gradients)
    string(REGEX REPLACE "[][]" "" gradients "${gradients}")
    string(REPLACE "," ";" stored "${gradients}")
    foreach(index 9 11 12)
        list(REMOVE_AT stored ${index})
        list(INSERT stored ${index} 0)
    endforeach()
    list(JOIN stored "," stored)
    if(stored STREQUAL gradients)
        fail("offspring 3 should have a gradient that files do not store")
    endif()
    file(WRITE "${WORK_DIR}/element.json" "${element}")
    run_pipe("save;-;--genome-json;-" "info;-" INPUT "${WORK_DIR}/element.json")
    expect_json_success()
    expect_element("${genes}" genes)
    expect_element("[${stored}]" gradients)
    # The element as an argument is the same genome.
    run_tool(develop --genome-json "${element}")
    set(from_json "${RUN_OUT}")
    string(REGEX REPLACE "[][]" "" genes "${genes}")
    run_tool(develop --genes ${genes} --gradients ${gradients})
    if(NOT from_json STREQUAL RUN_OUT)
        fail("the element develops differently from its genes")
    endif()

    # save - writes the very bytes of the file; --file - reads them back.
    set(genes 1,-2,3,-4,5,-6,7,-8,9,2,-11,1,2,-140,3,160,155,-8,10)
    run_tool(save "${WORK_DIR}/saved.bio" --genes ${genes})
    expect_silent_success()
    run_pipe("save;-;--genes;${genes}" "save;-;--file;-" OUTPUT "${WORK_DIR}/piped.bio")
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_ERR STREQUAL "")
        fail("expected success")
    endif()
    file(SHA256 "${WORK_DIR}/saved.bio" a)
    file(SHA256 "${WORK_DIR}/piped.bio" b)
    if(NOT a STREQUAL b)
        fail("save - wrote other bytes than save to a file")
    endif()
    run_pipe("save;-;--genes;${genes}" "mutate;--seed;3;--file;-")
    set(piped "${RUN_OUT}")
    run_tool(mutate --seed 3 --file "${WORK_DIR}/saved.bio")
    expect_json_success()
    if(NOT piped STREQUAL RUN_OUT)
        fail("--file - gave another genome than the file: ${piped}")
    endif()

    # Standard input is read up to 4096 bytes: a good file padded to exactly that is read,
    # one byte more is refused, and so is an endless stream, at once.
    foreach(row "4096|0|" "4097|2|standard input holds more than 4096 bytes"
                "100|2|standard input: The file is cut short: it ends before the whole creature is read\\. It ended after 100 bytes. a \\.bio file has 164\\.\n"
                "0|2|standard input is empty\\.\n")
        string(REPLACE "|" ";" row "${row}")
        list(GET row 0 size)
        list(GET row 1 rc)
        list(GET row 2 message)
        set(input "${WORK_DIR}/input-${size}.bio")
        file(COPY_FILE "${WORK_DIR}/saved.bio" "${input}")
        execute_process(COMMAND truncate -s ${size} "${input}" RESULT_VARIABLE truncated)
        if(NOT truncated EQUAL 0)
            message(FATAL_ERROR "truncate failed")
        endif()
        foreach(command "info;-" "develop;--file;-")
            run_tool_input("${input}" ${command})
            if(rc EQUAL 0)
                expect_json_success()
            else()
                expect_failure(${rc} "^quorvale-tool: ${message}")
            endif()
        endforeach()
    endforeach()
    execute_process(COMMAND yes COMMAND "${TOOL}" info - RESULT_VARIABLE RUN_RC
                    OUTPUT_VARIABLE RUN_OUT ERROR_VARIABLE RUN_ERR)
    set(RUN_WHAT "yes | quorvale-tool info -")
    expect_failure(2 "more than 4096 bytes")
    string(REPEAT " " 4097 spaces)
    file(WRITE "${WORK_DIR}/spaces.json" "${spaces}")
    run_tool_input("${WORK_DIR}/spaces.json" develop --genome-json -)
    expect_failure(1 "--genome-json -: standard input holds more than 4096 bytes.*--help")
    run_tool(develop --genome-json -)
    expect_failure(1 "--genome-json - \\(standard input\\): is empty")

    # Binary output is not written to a terminal; text is.
    execute_process(COMMAND script -qec true /dev/null INPUT_FILE /dev/null
                    RESULT_VARIABLE have_terminal OUTPUT_QUIET ERROR_QUIET)
    if(NOT have_terminal EQUAL 0)
        message(STATUS "No pseudo-terminal here: output to a terminal not checked")
        return()
    endif()
    foreach(row "save;-;--basic|a \\.bio file" "render;-o;-;--format;png|a PNG picture")
        string(REPLACE "|" ";" row "${row}")
        list(POP_BACK row what)
        if(what MATCHES "PNG" AND NOT PNG)
            continue()
        endif()
        run_tool_on_terminal(${row})
        if(NOT RUN_RC EQUAL 1 OR NOT RUN_OUT MATCHES "not writing ${what} to a terminal")
            fail("expected a refusal to write ${what} to the terminal")
        endif()
    endforeach()
    run_tool_on_terminal(render -o - --basic)
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_OUT MATCHES "</svg>")
        fail("expected the SVG picture on the terminal")
    endif()

# ---------------------------------------------------------------------------------------
# --genome-json

elseif(CASE STREQUAL "genome-json")
    # What mutate prints is read back exactly: genes far outside their limits, the 32-bit
    # extremes, extra fields of any kind, spaces, line breaks and -0 included.
    set(genes -2147483648,2147483647,0,-1,1000000,-99,7,0,10,100,20,1,2,-5,3,16,15,-8,999)
    set(gradients 2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2147483647)
    string(REPLACE "0,-1," "-0,\n\t-1 ," spaced_genes "${genes}")
    string(CONCAT json "{\"note\":\"from \\\"mutate\\\" \\u00e9\",\n \"genes\" : [${spaced_genes}],"
                       "\"extra\":{\"a\":[1,2.5e3,-0.5E-2,true,false,null,{}],\"b\":[]},"
                       "\"gradients\":[${gradients}]}\n")
    run_tool(mutate --seed 1 --rate 0 --genome-json "${json}")
    expect_json_success()
    if(NOT RUN_OUT STREQUAL "{\"genes\":[${genes}],\"gradients\":[${gradients}]}\n")
        fail("the genome did not come back as it went in")
    endif()
    # The special-gene options still apply with it.
    run_tool(develop --genome-json "{\"genes\":[${kDefault}],\"gradients\":[${kZeros}]}"
             --present none)
    expect_json_success()
    expect_element("[-22,-15,22,15]" bounds)

    # Refused JSON names the field and what is wrong with it (exit 1, as for --genes).
    set(g18 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18)
    set(z "\"gradients\":[${kZeros}]")
    # (An empty value passes only in the --name=value form: CMake drops empty arguments.)
    function(json_refused json message)
        run_tool(develop "--genome-json=${json}")
        expect_failure(1 "^quorvale-tool: --genome-json: ${message}.*--help")
    endfunction()
    json_refused("" "is empty")
    json_refused(" \n" "is empty")
    json_refused("[${kDefault}]" "is not a JSON object")
    json_refused("{\"genes\":[${g18}],${z}}" "\"genes\" has 18 values, not 19")
    json_refused("{\"genes\":[${g18},19,20],${z}}" "\"genes\" has 20 values, not 19")
    json_refused("{\"genes\":[],${z}}" "\"genes\" has 0 values, not 19")
    json_refused("{\"genes\":[${g18},2147483648],${z}}"
                 "\"genes\" value 19: 2147483648 is out of range \\(-2147483648 to 2147483647\\)")
    json_refused("{\"genes\":[${kDefault}],\"gradients\":[-2147483649,${g18}]}"
                 "\"gradients\" value 1: -2147483649 is out of range")
    json_refused("{\"genes\":[${g18},123456789012345678901234567890],${z}}"
                 "\"genes\" value 19: 123456789012345678901234\\.\\.\\. is out of range")
    json_refused("{\"genes\":[1,2,3,4,1.5,${g18}],${z}}" "\"genes\" value 5: 1\\.5 is not a whole number")
    json_refused("{\"genes\":[1e3,${g18}],${z}}" "\"genes\" value 1: 1e3 is not a whole number")
    json_refused("{\"genes\":[1,2,\"3\",${g18}],${z}}" "\"genes\" value 3 is not a whole number")
    json_refused("{\"genes\":[1,[2],${g18}],${z}}" "\"genes\" value 2 is not a whole number")
    json_refused("{\"genes\":\"${kDefault}\",${z}}" "\"genes\" is not an array of 19 whole numbers")
    json_refused("{${z}}" "has no \"genes\" field")
    json_refused("{\"genes\":[${kDefault}]}" "has no \"gradients\" field")
    json_refused("{\"genes\":[${kDefault}],${z},\"genes\":[${kDefault}]}" "\"genes\" is given twice")
    # The whole of offspring's output is a list of genomes, not one.
    run_tool(offspring --seed 1 --count 2)
    json_refused("${RUN_OUT}" "has no \"genes\" field: give one element of \"offspring\"")
    # Two genomes, one per line, are not one.
    set(genome "{\"genes\":[${kDefault}],${z}}")
    json_refused("${genome}\n${genome}" "has more after the genome's closing '}' \\(at byte 1[0-9][0-9]\\)")
    json_refused("{\"genes\":[${kDefault}] ${z}}" "is not valid JSON: expected ',' or '}' at byte [0-9]+, found '\"'")
    json_refused("{\"genes\":[01,${g18}],${z}}" "is not valid JSON: expected no digit after a leading 0")
    json_refused("{\"genes\":[${kDefault}],${z},\"x\":tru}" "is not valid JSON: expected a value")
    json_refused("{genes:[${kDefault}],${z}}" "is not valid JSON: expected a field name in double quotes at byte 2, found 'g'")
    string(REPEAT "[" 70 deep)
    json_refused("{\"x\":${deep}" "nests arrays and objects deeper than 64 levels")
    # Cut short, as by a writer that failed half-way (last, since CMake would read the open
    # bracket as holding the arguments after it).
    json_refused("{\"genes\":[1,2" "is not valid JSON: expected ',' or '\\]' at byte 14, found the end")
    # It is one genome source among others, and holds the gradients itself.
    run_tool(develop --basic --genome-json "${genome}")
    expect_failure(1 "give only one of --genes, --basic, --file, --genome-json and --code")
    run_tool(develop --gradients ${kZeros} --genome-json "${genome}")
    expect_failure(1 "--gradients does not apply with --genome-json")
    run_tool(info "${WORK_DIR}/a.bio" --genome-json "${genome}")
    expect_failure(1 "--genes, --basic, --file, --genome-json and --code do not apply")

# ---------------------------------------------------------------------------------------
# Creature codes: code prints one, --code reads one back as a genome.

elseif(CASE STREQUAL "code")
    # The basic creature's code never changes: codes are given out and kept.
    set(basic_code "Q15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0")
    run_tool(code --basic)
    if(NOT RUN_RC EQUAL 0 OR NOT RUN_ERR STREQUAL "" OR NOT RUN_OUT STREQUAL "${basic_code}\n")
        fail("expected the basic creature's code on a line of its own")
    endif()

    # Any case, spaces for hyphens, and o, i, l for 0, 1, 1 are the same genome.
    run_tool(mutate --seed 1 --rate 0 --basic)
    set(basic_genome "${RUN_OUT}")
    foreach(spelling "${basic_code}" "q15x2 ge51b wd418 b4ege mpx29 j7rdb n2ro" "Q15X2GE5IBWD4L8B4EGEMPX29J7RDBN2R0")
        run_tool(mutate --seed 1 --rate 0 --code "${spelling}")
        expect_json_success()
        if(NOT RUN_OUT STREQUAL basic_genome)
            fail("the code gave another genome than --basic")
        endif()
    endforeach()

    # Genes far outside their limits and odd gradients: the longer code, exact to the last
    # bit. Like a file, a code holds no gradients 10, 12 and 13: they come from --gradients.
    set(genes -2147483648,2147483647,0,-1,1000000,-401,401,0,10,100,20,1,2,-5,3,16,15,-8,999)
    set(gradients 1,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2147483647)
    set(stored 1,0,-2,2,0,-2,2,0,-2,0,0,0,0,0,-2,2,0,-2,2147483647)
    run_tool(code --genes ${genes} --gradients ${gradients})
    string(STRIP "${RUN_OUT}" wild_code)
    if(NOT RUN_RC EQUAL 0 OR NOT wild_code MATCHES "^Q2[0-9A-HJKMNP-TV-Z-]+$")
        fail("expected a code starting Q2")
    endif()
    run_tool(mutate --seed 1 --rate 0 --code "${wild_code}")
    expect_json_success()
    expect_element("[${genes}]" genes)
    expect_element("[${stored}]" gradients)
    run_tool(mutate --seed 1 --rate 0 --code "${wild_code}" --gradients ${gradients})
    expect_element("[${gradients}]" gradients)

    # Every subcommand that builds a genome takes it; a saved file keeps the same creature.
    run_tool(save "${WORK_DIR}/coded.bio" --code "${wild_code}")
    expect_silent_success()
    run_tool(code --file "${WORK_DIR}/coded.bio")
    if(NOT RUN_OUT STREQUAL "${wild_code}\n")
        fail("the saved file's code differs: ${RUN_OUT}")
    endif()
    run_tool(develop --code "${basic_code}")
    set(from_code "${RUN_OUT}")
    run_tool(develop --basic)
    if(NOT RUN_OUT STREQUAL from_code)
        fail("developing the code differs from developing --basic")
    endif()

    # A wrong code is a usage error that says what is wrong.
    string(REPLACE "WD418" "WD481" swapped "${basic_code}")
    string(REPLACE "WD418" "WD419" changed "${basic_code}")
    string(REPLACE "WD418" "WU418" unknown "${basic_code}")
    set(rows
        "${swapped}|check character does not match \\(a character is wrong or two are swapped\\)"
        "${changed}|check character does not match"
        "${unknown}|unknown character 'U' at position 14"
        "Q15X2-GE51B|too short"
        "X15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0|not a creature code"
        "${basic_code} thanks|unexpected text after the code: 'thanks'")
    foreach(row IN LISTS rows)
        string(REPLACE "|" ";" row "${row}")
        list(GET row 0 code)
        list(GET row 1 message)
        run_tool(develop --code "${code}")
        expect_failure(1 "^quorvale-tool: --code: ${message}.*--help")
    endforeach()
    # A usage mistake is found before any file is read.
    run_tool(render -o "${WORK_DIR}/x.svg" --code "${changed}")
    expect_failure(1 "--code: check character")
    if(EXISTS "${WORK_DIR}/x.svg")
        fail("a refused code made a picture")
    endif()
    run_tool(code --basic --code "${basic_code}")
    expect_failure(1 "give only one of --genes, --basic, --file, --genome-json and --code")
    run_tool(info "${WORK_DIR}/coded.bio" --code "${basic_code}")
    expect_failure(1 "--code do not apply")
    run_tool(code --seed 1)
    expect_failure(1 "--seed does not apply to code")

# ---------------------------------------------------------------------------------------
# Picture formats: the name tells the format, or --format does.

elseif(CASE STREQUAL "picture-format")
    # Names render will not write to, and what it says; nothing is made for any of them.
    set(rows
        "x.jpg|-o 'x\\.jpg': render writes SVG and PNG pictures, not \\.jpg. name the file \\.svg or \\.png"
        "x.bio|not \\.bio"
        "x.svg.gz|not \\.gz"
        "picture|-o 'picture': the name does not end in \\.svg or \\.png"
        ".png|-o '\\.png': the name does not end in \\.svg or \\.png"
        "x.svg|--format|png|-o 'x\\.svg' ends in \\.svg but --format is png"
        "x.png|--format|SVG|-o 'x\\.png' ends in \\.png but --format is svg"
        "x.png|--format|gif|--format: 'gif' is not a picture format render writes \\(svg or png\\)")
    if(PNG)
        list(APPEND rows "x.png|--size|8001x10|--size: a PNG picture is at most 8000x8000 pixels")
    endif()
    foreach(row IN LISTS rows)
        string(REPLACE "|" ";" args "${row}")
        list(POP_BACK args message)
        list(POP_FRONT args name)
        run_tool(render --basic -o "${WORK_DIR}/${name}" ${args})
        string(REPLACE "'x" "'${WORK_DIR}/x" message "${message}")
        string(REPLACE "'picture" "'${WORK_DIR}/picture" message "${message}")
        string(REPLACE "'\\.png" "'${WORK_DIR}/\\.png" message "${message}")
        expect_failure(1 "${message}.*--help")
        file(GLOB made "${WORK_DIR}/*")
        if(made)
            fail("a refused render made ${made}")
        endif()
    endforeach()

    # Any name with --format; stdout writes SVG unless told otherwise.
    run_tool(render --basic -o "${WORK_DIR}/tmp.x7Gq2" --format svg)
    expect_silent_success()
    # "<?xml"
    file(READ "${WORK_DIR}/tmp.x7Gq2" head LIMIT 5 HEX)
    run_tool(render --basic -o -)
    if(NOT head STREQUAL "3c3f786d6c" OR NOT RUN_OUT MATCHES "^<\\?xml.*</svg>\n$")
        fail("expected SVG in the file and on stdout")
    endif()

    if(NOT PNG)
        # A build without Qt writes SVG only, and says so.
        run_tool(render --basic -o "${WORK_DIR}/x.png")
        expect_failure(1 "built without Qt and writes SVG pictures only")
        if(EXISTS "${WORK_DIR}/x.png")
            fail("x.png was made")
        endif()
        return()
    endif()

    # The PNG header: signature, then IHDR with the size, 8 bits a channel, RGB. Whatever
    # the name's case and wherever it goes, the picture is the same.
    run_tool(render --basic --size 120x80 -o "${WORK_DIR}/basic.png")
    expect_silent_success()
    run_tool(render --basic --size 120x80 -o "${WORK_DIR}/basic.PNG")
    expect_silent_success()
    run_tool(render --basic --size 120x80 -o "${WORK_DIR}/no-extension" --format png)
    expect_silent_success()
    execute_process(COMMAND "${TOOL}" render --basic --size 120x80 -o - --format PNG
                    OUTPUT_FILE "${WORK_DIR}/stdout.png" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "render -o - --format png failed")
    endif()
    file(READ "${WORK_DIR}/basic.png" header LIMIT 26 HEX)
    string(CONCAT expected "89504e470d0a1a0a" "0000000d" "49484452" "00000078" "00000050" "08"
                          "02")
    if(NOT header STREQUAL expected)
        fail("basic.png starts ${header}, expected ${expected}")
    endif()
    file(SHA256 "${WORK_DIR}/basic.png" expected)
    foreach(other basic.PNG no-extension stdout.png)
        file(SHA256 "${WORK_DIR}/${other}" actual)
        if(NOT actual STREQUAL expected)
            fail("${other} differs from basic.png")
        endif()
    endforeach()
    # A genome that throws strokes far out and paints with a pen a million pixels wide is
    # drawn as the window draws it: quickly, and whole.
    string(CONCAT far "2000000000,-2000000000,1500000000,-2000000000,1900000000,"
                      "-1000000000,2000000000,-2000000000,9,3,3,0,2,2000000000,3,0,80,1000000,5")
    run_tool(render -o "${WORK_DIR}/far.png" --genes ${far})
    expect_silent_success()
    file(READ "${WORK_DIR}/far.png" header LIMIT 8 HEX)
    if(NOT header STREQUAL "89504e470d0a1a0a")
        fail("far.png is not a PNG file")
    endif()
else()
    message(FATAL_ERROR "unknown case ${CASE}")
endif()
