include(CMakePackageConfigHelpers)

install(TARGETS tabula EXPORT TabulaTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
# The public headers only: each module's internal/ folder stays behind.
foreach(dir Math Core Rendering Reader)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tabula COMPONENT dev
        FILES_MATCHING PATTERN "*.h" PATTERN internal EXCLUDE)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/include/TabulaExport.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tabula COMPONENT dev)

# A static library brings its own dependencies to the game's link. In
# tabula.pc they are plain requirements rather than private ones, since
# `pkg-config --static` would also ask for static GLUT and X libraries.
if(TABULA_LIBRARY_TYPE STREQUAL "STATIC")
    set(TABULA_STATIC ON)
    set(TABULA_PC_REQUIRES "gl glu glut glew libpng libjpeg tinyobjloader")
else()
    set(TABULA_STATIC OFF)
    set(TABULA_PC_REQUIRES "gl glu glut")
endif()

# Both package files find the prefix from where they lie, so the installed tree
# works wherever it is moved or staged (DESTDIR), whatever the libdir depth
# (lib, lib64, lib/x86_64-linux-gnu). TabulaConfig.cmake and the exported
# targets file climb back from their own folder; tabula.pc does the same from
# ${pcfiledir}.
set(TABULA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tabula)
install(EXPORT TabulaTargets NAMESPACE Tabula:: DESTINATION ${TABULA_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TabulaConfig.cmake.in
    ${PROJECT_BINARY_DIR}/TabulaConfig.cmake INSTALL_DESTINATION ${TABULA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TabulaConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TabulaConfig.cmake ${PROJECT_BINARY_DIR}/TabulaConfigVersion.cmake
    DESTINATION ${TABULA_CMAKE_DIR} COMPONENT dev)

set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${pc_dir}")
    # An absolute libdir cannot be reached from a moved prefix anyway.
    set(TABULA_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
    file(RELATIVE_PATH up /tabula-prefix/${pc_dir} /tabula-prefix)
    string(REGEX REPLACE "/$" "" up "${up}")
    set(TABULA_PC_PREFIX "\${pcfiledir}/${up}")
endif()
foreach(kind LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
        set(TABULA_PC_${kind} ${CMAKE_INSTALL_${kind}})
    else()
        set(TABULA_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
    endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/tabula.pc.in ${PROJECT_BINARY_DIR}/tabula.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tabula.pc DESTINATION ${pc_dir} COMPONENT dev)
