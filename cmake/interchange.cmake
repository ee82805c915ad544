# Interchange with other tools: logic-analyzer session import (libzip) and pcapng export
# with its dissector tables. Plain C++ and libzip, no Qt.
if(CMAKE_CROSSCOMPILING)
  # pkg-config would report the host's libzip: look in the target's sysroot only.
  find_path(ZK_LIBZIP_INCLUDE zip.h)
  find_library(ZK_LIBZIP_LIBRARY zip)
  if(ZK_LIBZIP_INCLUDE AND ZK_LIBZIP_LIBRARY)
    set(LIBZIP_FOUND TRUE)
    add_library(PkgConfig::LIBZIP UNKNOWN IMPORTED)
    set_target_properties(PkgConfig::LIBZIP PROPERTIES IMPORTED_LOCATION ${ZK_LIBZIP_LIBRARY}
                                                       INTERFACE_INCLUDE_DIRECTORIES ${ZK_LIBZIP_INCLUDE})
  endif()
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
endif()

if(NOT LIBZIP_FOUND)
  # The Windows cross build has no libzip: zkr and core_tests are built without interchange.
  message(STATUS "libzip not found: zkr import and the pcapng export are left out")
  get_target_property(zk_zkr_sources zkr SOURCES)
  list(FILTER zk_zkr_sources EXCLUDE REGEX "/cli/cmd_(import|export_pcapng)\\.cpp$")
  set_target_properties(zkr PROPERTIES SOURCES "${zk_zkr_sources}")
  target_compile_definitions(zkr PRIVATE ZK_NO_INTERCHANGE)
  get_target_property(zk_core_test_sources core_tests SOURCES)
  list(FILTER zk_core_test_sources EXCLUDE REGEX "/tests/core/interchange/")
  set_target_properties(core_tests PROPERTIES SOURCES "${zk_core_test_sources}")
  return()
endif()

add_library(zk_interchange STATIC interchange/sigrok_session.cpp interchange/logic_import.cpp
                                  interchange/pcapng_writer.cpp interchange/dissector_tables.cpp)
target_link_libraries(zk_interchange PUBLIC zk_record zk_pd zk_model PRIVATE PkgConfig::LIBZIP)
target_link_libraries(zkr PRIVATE zk_interchange)
target_link_libraries(core_tests PRIVATE zk_interchange PkgConfig::LIBZIP)

# Rewrites the generated tables of contrib/wireshark/usbpd.lua:
#   zk_dissector_tables contrib/wireshark/usbpd.lua
add_executable(zk_dissector_tables contrib/wireshark/dissector_tables_main.cpp)
target_link_libraries(zk_dissector_tables PRIVATE zk_interchange)
target_compile_definitions(core_tests PRIVATE ZK_DISSECTOR_SCRIPT="${CMAKE_SOURCE_DIR}/contrib/wireshark/usbpd.lua")
