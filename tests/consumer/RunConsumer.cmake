# Builds the consumer game against an installed Tabula, as a user's project
# would, with find_package(Tabula) and with pkg-config, and runs it.
#   MODE=install: the test build installed into a scratch prefix that is then
#     moved elsewhere (shared library, plain lib/); outside the sanitizer
#     build also a static Tabula staged with DESTDIR in the Debian layout
#     (/usr, lib/<multiarch>).
#   MODE=package: the Debian packages made by scripts/package, unpacked with
#     dpkg-deb -x into a scratch root (skipped where the Debian tools are
#     missing).
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN}\nfailed (${result}):\n${out}\n${err}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

set(flags "")
if(SANITIZE)
    set(flags "-fsanitize=address,undefined")
endif()
separate_arguments(extra UNIX_COMMAND "${flags}")

# Builds and runs the consumer both ways against the tree at `prefix`, whose
# libraries and tabula.pc are in `libdir`. Every path the package files give
# must lie inside `prefix`.
function(check_consumer label prefix libdir)
    set(build ${WORK_DIR}/${label}-cmake)
    run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -DCMAKE_PREFIX_PATH=${prefix}
        -DCMAKE_CXX_COMPILER=${CXX_COMPILER} "-DCMAKE_CXX_FLAGS=${flags}")
    file(STRINGS ${build}/CMakeCache.txt tabula_dir REGEX "^Tabula_DIR:")
    if(NOT tabula_dir MATCHES "=${prefix}/")
        message(FATAL_ERROR "${label}: find_package found ${tabula_dir}, not the one under ${prefix}")
    endif()
    run(${CMAKE_COMMAND} --build ${build})
    run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${build}/consumer)
    if(NOT last_output MATCHES "consumer ran 30 frames")
        message(FATAL_ERROR "${label}: find_package consumer did not run: ${last_output}")
    endif()

    run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${libdir}/pkgconfig pkg-config --cflags --libs tabula)
    string(STRIP "${last_output}" pc_flags)
    separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
    get_filename_component(root ${prefix} REALPATH)
    foreach(flag ${pc_flags})
        if(NOT flag MATCHES "^-[IL](.*)$")
            continue()
        endif()
        get_filename_component(dir ${CMAKE_MATCH_1} REALPATH)
        if(dir MATCHES "tabula|^${WORK_DIR}" AND (NOT IS_DIRECTORY ${dir} OR NOT dir MATCHES "^${root}/"))
            message(FATAL_ERROR "${label}: pkg-config gives ${flag}, not a folder under ${prefix}")
        endif()
    endforeach()
    run(${CXX_COMPILER} -std=c++17 ${extra} ${CONSUMER_DIR}/main.cpp -o ${WORK_DIR}/${label}-pc ${pc_flags})
    run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${WORK_DIR}/${label}-pc)
    if(NOT last_output MATCHES "consumer ran 30 frames")
        message(FATAL_ERROR "${label}: pkg-config consumer did not run: ${last_output}")
    endif()

    # The internals are not installed: a game that includes one does not build.
    if(NOT EXISTS ${SOURCE_DIR}/Reader/internal/ModelData.h)
        message(FATAL_ERROR "${label}: the internal header the check includes has moved")
    endif()
    file(WRITE ${WORK_DIR}/${label}-internal.cpp "#include <Reader/internal/ModelData.h>\nint main() {}\n")
    execute_process(COMMAND ${CXX_COMPILER} -std=c++17 -fsyntax-only ${WORK_DIR}/${label}-internal.cpp ${pc_flags}
        RESULT_VARIABLE result ERROR_VARIABLE err)
    # GCC says "No such file", clang "file not found".
    if(result EQUAL 0 OR NOT err MATCHES "Reader/internal/ModelData.h.*(No such file|file not found)")
        message(FATAL_ERROR "${label}: an internal header was found: ${err}")
    endif()
endfunction()

# The one lib/<multiarch> (or lib) folder under `usr` that holds tabula.pc.
function(find_libdir usr out)
    file(GLOB_RECURSE pc LIST_DIRECTORIES false ${usr}/*/tabula.pc)
    list(LENGTH pc count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "expected one tabula.pc under ${usr}, found: ${pc}")
    endif()
    get_filename_component(dir ${pc} DIRECTORY)
    get_filename_component(dir ${dir} DIRECTORY)
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})

if(MODE STREQUAL "install")
    # Installed, then moved: nothing may point back at the first place.
    run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/first)
    file(RENAME ${WORK_DIR}/first ${WORK_DIR}/moved)
    set(prefix ${WORK_DIR}/moved)
    foreach(header Core/Board.h Rendering/Render.h Math/Quat.h TabulaExport.h)
        if(NOT EXISTS ${prefix}/include/tabula/${header})
            message(FATAL_ERROR "${header} not installed under include/tabula")
        endif()
    endforeach()
    check_consumer(moved ${prefix} ${prefix}/lib)

    # The static variant compiles the library once more, so it runs only in
    # the normal build, and its build folder (outside WORK_DIR) is kept
    # between runs so that later runs only recompile what changed.
    if(NOT SANITIZE)
        set(static_build ${BUILD_DIR}/tests/consumer-static-build)
        run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${static_build} -G ${GENERATOR}
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_INSTALL_PREFIX=/usr
            -DBUILD_SHARED_LIBS=OFF -DTABULA_BUILD_TESTS=OFF -DTABULA_BUILD_EXAMPLES=OFF -DTABULA_INSTALL=ON)
        run(${CMAKE_COMMAND} --build ${static_build} --parallel 2)
        run(${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}/staged ${CMAKE_COMMAND} --install ${static_build})
        find_libdir(${WORK_DIR}/staged/usr libdir)
        if(libdir STREQUAL "${WORK_DIR}/staged/usr/lib" AND EXISTS /usr/lib/${ARCH})
            message(FATAL_ERROR "a /usr install on this system belongs in lib/${ARCH}, not lib")
        endif()
        if(NOT EXISTS ${libdir}/libtabula.a)
            message(FATAL_ERROR "no static library in ${libdir}")
        endif()
        check_consumer(static ${WORK_DIR}/staged/usr ${libdir})
    endif()
elseif(MODE STREQUAL "package")
    foreach(tool dpkg-deb dpkg-buildpackage dh lintian)
        find_program(found_${tool} ${tool})
        if(NOT found_${tool})
            message("${tool} not found: Debian package test skipped")
            return()
        endif()
    endforeach()
    run(bash ${SOURCE_DIR}/scripts/package ${PACKAGE_DIR})
    file(GLOB debs ${PACKAGE_DIR}/libtabula1_*.deb ${PACKAGE_DIR}/libtabula-dev_*.deb)
    list(LENGTH debs count)
    if(NOT count EQUAL 2)
        message(FATAL_ERROR "scripts/package made ${debs}")
    endif()
    file(MAKE_DIRECTORY ${WORK_DIR}/root)
    foreach(deb ${debs})
        run(dpkg-deb -x ${deb} ${WORK_DIR}/root)
    endforeach()
    # The runtime dependencies come from the library's own links.
    file(GLOB runtime ${PACKAGE_DIR}/libtabula1_*.deb)
    run(dpkg-deb -f ${runtime} Depends)
    foreach(library libglew libpng libjpeg libglut)
        if(NOT last_output MATCHES "${library}")
            message(FATAL_ERROR "libtabula1 does not depend on ${library}: ${last_output}")
        endif()
    endforeach()
    # The API reference of the public headers only.
    set(reference ${WORK_DIR}/root/usr/share/doc/libtabula-dev/html)
    if(NOT EXISTS ${reference}/index.html OR NOT EXISTS ${reference}/classCore_1_1Board.html)
        message(FATAL_ERROR "libtabula-dev carries no API reference in ${reference}")
    endif()
    file(GLOB internal_pages ${reference}/*ModelData* ${reference}/*PickRegion*)
    if(internal_pages)
        message(FATAL_ERROR "the API reference shows internals: ${internal_pages}")
    endif()
    find_libdir(${WORK_DIR}/root/usr libdir)
    if(NOT EXISTS ${libdir}/libtabula.so.1)
        message(FATAL_ERROR "no libtabula.so.1 in ${libdir}")
    endif()
    check_consumer(package ${WORK_DIR}/root/usr ${libdir})
else()
    message(FATAL_ERROR "MODE must be install or package")
endif()
