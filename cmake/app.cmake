# The desktop application: views, main window, the pdzelkor executable and its UI tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
set(CMAKE_AUTOMOC ON)

# dialogs
if(EXISTS ${CMAKE_SOURCE_DIR}/ui/dialogs/CMakeLists.txt)
  add_subdirectory(ui/dialogs)
endif()
