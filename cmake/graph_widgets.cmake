# The graph's widgets: the graph view with its buttons and pane, the drawing settings
# dialog and the packet waveform view with its pane; their tests run on the offscreen platform.

# Edge keeping holds every packet's edge intervals after framing so that the waveform view
# can show them; the application creates the "Packet" pane only when it is on.
option(ZK_EDGE_KEEPING "Keep edge intervals after framing and show the Packet pane" OFF)

find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
set(CMAKE_AUTOMOC_SAVED ${CMAKE_AUTOMOC})
set(CMAKE_AUTOMOC ON)
add_library(zk_graph_widgets STATIC
  ui/graph/graph_buttons.cpp ui/graph/waveform_layout.cpp
  ui/graph/qt/graph_view.cpp ui/graph/qt/graph_button_icons.cpp ui/graph/qt/dockable_graph.cpp
  ui/graph/qt/color_cfg_dlg.cpp ui/graph/qt/packet_view.cpp)
target_link_libraries(zk_graph_widgets PUBLIC zk_graph_qt zk_app_core Qt6::Widgets)
target_compile_definitions(zk_graph_widgets PUBLIC ZK_EDGE_KEEPING=$<BOOL:${ZK_EDGE_KEEPING}>)

# The tests build the waveform view whatever the option says and keep edges in their stores.
file(GLOB ZK_GRAPH_WIDGET_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/graph/widgets/*_test.cpp)
add_executable(graph_widget_tests ${ZK_GRAPH_WIDGET_TEST_SOURCES} tests/graph/widgets/widget_test_main.cpp)
target_link_libraries(graph_widget_tests PRIVATE zk_graph_widgets zk_sim Qt6::Test GTest::gtest)
target_compile_definitions(graph_widget_tests PRIVATE ZK_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}")
add_test(NAME graph_widget_tests COMMAND graph_widget_tests)
set_tests_properties(graph_widget_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
set(CMAKE_AUTOMOC ${CMAKE_AUTOMOC_SAVED})
