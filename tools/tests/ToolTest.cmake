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
function(run_tool)
    execute_process(COMMAND "${TOOL}" ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    list(JOIN ARGN " " what)
    set(RUN_RC "${rc}" PARENT_SCOPE)
    set(RUN_OUT "${out}" PARENT_SCOPE)
    set(RUN_ERR "${err}" PARENT_SCOPE)
    set(RUN_WHAT "quorvale-tool ${what}" PARENT_SCOPE)
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
        "short-header.bio|short-header\\.bio: Unexpected file format\\.\n"
        "short-record.bio|short-record\\.bio: Unexpected file format\\.\n"
        "lower-case.bio|Incorrect file type!"
        "version.bio|This file is not compatiable with\nQuorvale version 0\\.02x"
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

# ---------------------------------------------------------------------------------------
# Command line

elseif(CASE STREQUAL "usage")
    run_tool(--help)
    if(NOT RUN_RC EQUAL 0)
        fail("--help should succeed")
    endif()
    foreach(word develop mutate monster offspring info save render --genes --gradients
                 --basic --file --present --mutable --at --orientation --seed --rate --count
                 --size -o)
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
        "develop|--basic|--genes|${kDefault}|only one of --genes, --basic and --file"
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
    foreach(pattern
            "<svg [^>]*width=\"120\" height=\"80\""
            "shape-rendering=\"crispEdges\""
            "<rect width=\"120\" height=\"80\" fill=\"#ffffff\"/>"
            # Measured with offset (0, 14), the morph's origin pixel lands at (60, 54).
            "<rect x=\"59.5\" y=\"53.5\" width=\"1\" height=\"1\" fill=\"#000000\""
            "<line "
            "</svg>\n$")
        if(NOT text MATCHES "${pattern}")
            fail("${svg} does not match ${pattern}")
        endif()
    endforeach()
    # The basic morph draws with white in XOR mode, which shows black on white.
    string(REGEX MATCHALL "stroke=\"#[0-9a-f]+\"" pens "${text}")
    list(REMOVE_DUPLICATES pens)
    if(NOT pens STREQUAL "stroke=\"#000000\"")
        fail("the basic morph should be drawn in black only, not ${pens}")
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
else()
    message(FATAL_ERROR "unknown case ${CASE}")
endif()
