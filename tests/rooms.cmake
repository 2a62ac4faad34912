# The arrows between the rooms, held by the compiler: each case below is a file that
# includes a header across an arrow its target's link line does not draw, built by a test
# of its own that passes only when the compiler reports that header missing. The files
# are compiled, never linked, and only by these tests (EXCLUDE_FROM_ALL). The last cases
# include across arrows that exist, so that the planted files are known to build.

# Each case: test name, the linked room, the include line, then "refused" or "found".
set(room_cases
    "data-toolkit|data|\"toolkit/Form.h\"|refused"
    "data-exampaper|data|<exampaper/ExamPaper.h>|refused"
    "gui-data|gui|<data/DMUnit.h>|refused"
    "gui-toolkit|gui|\"toolkit/Controls.h\"|refused"
    "toolkit-sharedscreens|toolkit|<sharedscreens/Unt_Father.h>|refused"
    "toolkit-exampaper|toolkit|\"exampaper/ExamFormat.h\"|refused"
    "sharedscreens-practice|sharedscreens|\"practice/Unt_ShunXuLianXi.h\"|refused"
    "sharedscreens-exampaper|sharedscreens|<exampaper/StudyRecord.h>|refused"
    "practice-exam|practice|<exam/Unt_SimulateExam.h>|refused"
    "practice-app|practice|\"app/MainUnit.h\"|refused"
    "exam-practice|exam|\"practice/Unt_JianPan.h\"|refused"
    "exam-app|exam|<app/MainUnit.h>|refused"
    "exampaper-toolkit|exampaper|<toolkit/Controls.h>|refused"
    "exampaper-sharedscreens|exampaper|\"sharedscreens/Unt_Wait.h\"|refused"
    "exampaper-widgets|exampaper|<QWidget>|refused"
    "art-toolkit|art|\"toolkit/Form.h\"|refused"
    "art-data|art|<data/DMUnit.h>|refused"
    "art-widgets|art|<QWidget>|refused"
    "bankbuilder-toolkit|bankbuilder|<toolkit/Controls.h>|refused"
    "bankbuilder-sharedscreens|bankbuilder|\"sharedscreens/ScreenParts.h\"|refused"
    "toolkit-data|toolkit|\"data/DMUnit.h\"|found"
    "exam-exampaper|exam|<exampaper/ExamPaper.h>|found"
    "app-sharedscreens|app|\"sharedscreens/Unt_Father.h\"|found"
    "bankbuilder-art|bankbuilder|<tools/art/SceneKit.h>|found")

set(plant_dir ${CMAKE_CURRENT_BINARY_DIR}/rooms)
foreach(case ${room_cases})
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 room)
    list(GET fields 2 line)
    list(GET fields 3 outcome)
    set(source ${plant_dir}/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "#include ${line}\n\nint planted = 0;\n" @ONLY)
    add_library(plant_${name} OBJECT EXCLUDE_FROM_ALL ${source})
    set_target_properties(plant_${name} PROPERTIES AUTOMOC OFF)
    target_link_libraries(plant_${name} PRIVATE ${room})
    add_test(NAME rooms/${name}
             COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target plant_${name})
    # One build of the folder at a time.
    set_tests_properties(rooms/${name} PROPERTIES RESOURCE_LOCK build-folder TIMEOUT 600)
    if(outcome STREQUAL "refused")
        string(REGEX REPLACE "^[<\"](.*)[>\"]$" "\\1" header "${line}")
        string(REPLACE "." "\\." header "${header}")
        # gcc: "fatal error: toolkit/Form.h: No such file", clang: "'toolkit/Form.h' file not found"
        set_tests_properties(rooms/${name} PROPERTIES
            PASS_REGULAR_EXPRESSION "${header}: No such file|'${header}' file not found")
    endif()
endforeach()
