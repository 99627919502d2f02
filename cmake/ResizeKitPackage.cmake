# The CMake package ResizeKit: the three libraries (platform, toolkit, resizekit) with the
# libraries they are made of, their public headers under their folder names, and the package
# configuration. All of it is the install component ResizeKit, which the release ZIP leaves out.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(resizekit_targets platform_utf platform_api toolkit_stored toolkit resizekit)
if(TARGET platform_win32)
  list(APPEND resizekit_targets platform_win32)
endif()
install(TARGETS ${resizekit_targets} EXPORT ResizeKitTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ResizeKit
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ResizeKit)

set(resizekit_config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/ResizeKit)
install(EXPORT ResizeKitTargets NAMESPACE ResizeKit:: DESTINATION ${resizekit_config_dir}
  COMPONENT ResizeKit)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ResizeKitConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ResizeKitConfig.cmake INSTALL_DESTINATION ${resizekit_config_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ResizeKitConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ResizeKitConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/ResizeKitConfigVersion.cmake
  DESTINATION ${resizekit_config_dir} COMPONENT ResizeKit)

# The Release libraries are GCC's link-time bytecode only, as the product is built; a program
# that links them is compiled and linked with -flto too, or MinGW's i686 linker takes the
# inline functions that both the program and the libraries define for duplicates.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
  target_compile_options(resizekit INTERFACE -flto)
  target_link_options(resizekit INTERFACE -flto)
endif()
