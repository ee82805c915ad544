# The desktop application: views, main window, the pdzelkor executable and its UI tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
set(CMAKE_AUTOMOC ON)

# dialogs
if(EXISTS ${CMAKE_SOURCE_DIR}/ui/dialogs/CMakeLists.txt)
  add_subdirectory(ui/dialogs)
endif()

# The views: packet list, detail pane, control panel and the drawn pictures.
file(GLOB ZK_UI_WIDGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/log/*.cpp ${CMAKE_SOURCE_DIR}/ui/detail/*.cpp
     ${CMAKE_SOURCE_DIR}/ui/ctrl/*.cpp ${CMAKE_SOURCE_DIR}/ui/icons/*.cpp)
add_library(zk_ui_widgets STATIC ${ZK_UI_WIDGET_SOURCES})
target_link_libraries(zk_ui_widgets PUBLIC zk_ui_logic zk_record zk_pd zk_app_core Qt6::Widgets)

# The main window and the application object, apart from main() so the tests can link them.
add_library(zk_main_frame STATIC ${CMAKE_SOURCE_DIR}/app/zk_app.cpp ${CMAKE_SOURCE_DIR}/app/main_frame.cpp
                                 ${CMAKE_SOURCE_DIR}/app/main_frame_dialogs.cpp
                                 ${CMAKE_SOURCE_DIR}/app/main_frame_graph.cpp
                                 ${CMAKE_SOURCE_DIR}/app/main_frame_import.cpp
                                 ${CMAKE_SOURCE_DIR}/app/command_table.cpp
                                 ${CMAKE_SOURCE_DIR}/app/lock_keys.cpp)
target_link_libraries(zk_main_frame PUBLIC zk_ui_widgets zk_graph_widgets zk_capture_qt zk_capture zk_app_qt zk_tools zk_sim
                                           zk_interchange Qt6::Widgets)
if(TARGET zk_dialogs)
  target_link_libraries(zk_main_frame PUBLIC zk_dialogs)
  target_compile_definitions(zk_main_frame PUBLIC ZK_HAVE_DIALOGS=1)
endif()

add_executable(pdzelkor ${CMAKE_SOURCE_DIR}/app/main.cpp)
target_link_libraries(pdzelkor PRIVATE zk_main_frame)

file(GLOB ZK_UI_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/ui/*_test.cpp)
add_executable(ui_tests ${ZK_UI_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/ui/ui_test_main.cpp)
target_link_libraries(ui_tests PRIVATE zk_main_frame Qt6::Test GTest::gtest)
target_compile_definitions(ui_tests PRIVATE ZK_UI_OUTPUT_DIR="${CMAKE_BINARY_DIR}")
add_test(NAME ui_tests COMMAND ui_tests)
set_tests_properties(ui_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)

if(TARGET zk_bench)
  target_link_libraries(zk_bench PRIVATE zk_ui_widgets)
endif()
