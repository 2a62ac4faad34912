# The arrows between the rooms, as the includes show them: a room includes only the
# headers of the rooms its library links, so an include the link lines would not allow
# fails here before it makes a cycle.   cmake -DROOT=<source folder> -P rooms.cmake
set(shared "app/(Environment|ExplainNote|MsgConsts|MsgDialogs|ScreenParts|StudyParts|Unt_Father|Unt_Wait)\\.h")
set(lower "(toolkit|data)/[A-Za-z]+\\.h")
# The exam core: the files of exam/ that are no screen.
set(core "exam/(BankSql|ExamFormat|ExamMarking|ExamPaper|RecordSchema|StudyLog|StudyRecord)")

# Each room: its name, its files, then the headers it may include, apart by commas.
set(rooms
    "sharedscreens,app/(Environment|ExplainNote|MsgConsts|MsgDialogs|ScreenParts|StudyParts|Unt_Father|Unt_Wait)\\.(h|cpp),${lower},${shared}"
    "practice,practice/.*,${lower},${shared},practice/.*,${core}\\.h"
    "exampaper,${core}\\.(h|cpp),data/[A-Za-z]+\\.h,${core}\\.h"
    "exam,exam/Unt_.*,${lower},${shared},exam/.*"
    "bankbuilder,tools/bank/.*,${lower},tools/(art|bank)/.*"
    "bankgen,tools/bankgen/.*,${lower},tools/(art|bank)/.*,exam/ExamPaper\\.h")

file(GLOB_RECURSE sources RELATIVE ${ROOT}
    ${ROOT}/app/*.cpp ${ROOT}/app/*.h ${ROOT}/practice/*.cpp ${ROOT}/practice/*.h
    ${ROOT}/exam/*.cpp ${ROOT}/exam/*.h ${ROOT}/tools/bank/*.cpp ${ROOT}/tools/bank/*.h
    ${ROOT}/tools/bankgen/*.cpp)

set(faults 0)
foreach(source ${sources})
    foreach(room ${rooms})
        string(REPLACE "," ";" parts "${room}")
        list(POP_FRONT parts name files)
        if(NOT source MATCHES "^${files}$")
            continue()
        endif()
        file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
            set(allowed FALSE)
            foreach(pattern ${parts})
                if(header MATCHES "^${pattern}$")
                    set(allowed TRUE)
                endif()
            endforeach()
            # An include without a folder (a moc file) names no room.
            if(NOT allowed AND header MATCHES "/")
                message(SEND_ERROR "${source} (${name}) includes ${header}")
                math(EXPR faults "${faults} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} includes across the rooms' arrows")
endif()
