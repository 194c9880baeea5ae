include(CMakePackageConfigHelpers)

install(TARGETS tabula EXPORT TabulaTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(dir Math Core Rendering Reader)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tabula
        FILES_MATCHING PATTERN "*.h")
endforeach()

set(TABULA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tabula)
install(EXPORT TabulaTargets NAMESPACE Tabula:: DESTINATION ${TABULA_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TabulaConfig.cmake.in
    ${PROJECT_BINARY_DIR}/TabulaConfig.cmake INSTALL_DESTINATION ${TABULA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TabulaConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TabulaConfig.cmake ${PROJECT_BINARY_DIR}/TabulaConfigVersion.cmake
    DESTINATION ${TABULA_CMAKE_DIR})

configure_file(${PROJECT_SOURCE_DIR}/cmake/tabula.pc.in ${PROJECT_BINARY_DIR}/tabula.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tabula.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
