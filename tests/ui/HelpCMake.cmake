# The help viewer and the program's resources, under the offscreen platform. Included from the
# tests' CMakeLists; links the quorvale_platform target of resources/CMakeLists.txt.
if(NOT TARGET Qt6::Test)
    find_package(Qt6 6.2 QUIET COMPONENTS Widgets Test)
endif()
if(TARGET Qt6::Test)
    add_executable(help_viewer_tests ${CMAKE_CURRENT_LIST_DIR}/HelpViewerTest.cpp)
    set_target_properties(help_viewer_tests PROPERTIES AUTOMOC ON)
    target_link_libraries(help_viewer_tests PRIVATE quorvale_platform Qt6::Test)
    # The test checks that every picture and page in the source tree made it into the resources.
    target_compile_definitions(help_viewer_tests PRIVATE
        QUORVALE_RESOURCES_DIR="${CMAKE_CURRENT_LIST_DIR}/../../resources")
    add_test(NAME help_viewer_tests COMMAND help_viewer_tests)
    if(QUORVALE_SANITIZE)
        set_tests_properties(help_viewer_tests PROPERTIES ENVIRONMENT
            "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0:halt_on_error=1")
    else()
        set_tests_properties(help_viewer_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    endif()
endif()
