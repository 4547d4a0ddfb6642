# Where `cmake --install` and the Debian package put the program and its files.
include(GNUInstallDirs)

if(NOT UNIX)
    # Windows keeps everything in the program's own folder.
    install(TARGETS gantrylux RUNTIME DESTINATION .)
    install(DIRECTORY samples/ DESTINATION Samples)
    install(FILES assets/HAND-M.CUR assets/drag.ico DESTINATION .)
    if(GANTRYLUX_INSTALL_SKIN)
        install(FILES assets/x/o.cjs DESTINATION x COMPONENT skin)
    endif()
    # `make package-windows`: the program's folder as a ZIP file.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME gantrylux)
    set(CPACK_PACKAGE_VENDOR Quillmere)
    set(CPACK_PACKAGE_FILE_NAME gantrylux-${PROJECT_VERSION}-win64)
    set(CPACK_STRIP_FILES ON)
    include(CPack)
    return()
endif()

# The program looks for its files beside its real executable. That lives in libexec/gantrylux,
# with bin holding only a link to it; the files are data, kept in share/gantrylux and linked
# into the program's folder. All links are relative, so an unpacked tree works wherever it is.
set(program_dir ${CMAKE_INSTALL_LIBEXECDIR}/gantrylux)
set(data_dir ${CMAKE_INSTALL_DATADIR}/gantrylux)
set(links ${CMAKE_CURRENT_BINARY_DIR}/install-links)
file(REMOVE_RECURSE ${links})
file(MAKE_DIRECTORY ${links}/bin ${links}/program ${links}/skin)
file(RELATIVE_PATH to_program /${CMAKE_INSTALL_BINDIR} /${program_dir}/gantrylux)
file(CREATE_LINK ${to_program} ${links}/bin/gantrylux SYMBOLIC)
file(RELATIVE_PATH to_data /${program_dir} /${data_dir})
foreach(name Samples HAND-M.CUR drag.ico)
    file(CREATE_LINK ${to_data}/${name} ${links}/program/${name} SYMBOLIC)
endforeach()
file(CREATE_LINK ${to_data}/x ${links}/skin/x SYMBOLIC)

install(TARGETS gantrylux RUNTIME DESTINATION ${program_dir})
install(FILES ${links}/bin/gantrylux DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY samples/ DESTINATION ${data_dir}/Samples)
install(FILES assets/HAND-M.CUR assets/drag.ico DESTINATION ${data_dir})
install(FILES ${links}/program/Samples ${links}/program/HAND-M.CUR ${links}/program/drag.ico
        DESTINATION ${program_dir})
if(GANTRYLUX_INSTALL_SKIN)
    install(FILES assets/x/o.cjs DESTINATION ${data_dir}/x COMPONENT skin)
    install(FILES ${links}/skin/x DESTINATION ${program_dir} COMPONENT skin)
endif()

# The launcher entry, the software centre's metadata and the icons, by the freedesktop rules,
# all under the one application id.
configure_file(packaging/gantrylux.desktop.in ${GANTRYLUX_APP_ID}.desktop @ONLY)
configure_file(packaging/gantrylux.metainfo.xml.in ${GANTRYLUX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${GANTRYLUX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${GANTRYLUX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    if(size EQUAL 256)
        set(icon assets/gantrylux.png)
    else()
        set(icon assets/icons/gantrylux-${size}.png)
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${GANTRYLUX_APP_ID}.png)
endforeach()
install(FILES assets/icons/gantrylux.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${GANTRYLUX_APP_ID}.svg)

# The manual page and the changelog are installed compressed, without a time stamp, so that
# the package's bytes depend on the sources only.
configure_file(packaging/gantrylux.1.in gantrylux.1 @ONLY)
configure_file(packaging/changelog.in changelog @ONLY)
find_program(GANTRYLUX_GZIP gzip REQUIRED)
set(compressed ${CMAKE_CURRENT_BINARY_DIR}/gantrylux.1.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${compressed}
    COMMAND ${GANTRYLUX_GZIP} -9nkf gantrylux.1 changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/gantrylux.1 ${CMAKE_CURRENT_BINARY_DIR}/changelog
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    COMMENT "Compressing the manual page and the changelog")
add_custom_target(gantrylux_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gantrylux.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gantrylux)

# `make package`: a Debian package of the release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gantrylux)
set(CPACK_PACKAGE_VENDOR Quillmere)
set(CPACK_PACKAGE_CONTACT "Quillmere <support@quillmere.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quillmere.com)
# The libraries' packages come from the executable; the desktop's opener and the window's
# font are needed at run time without being linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-liberation")
# Without the plugin the window still runs on a Wayland desktop, through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(gantrylux_description "Gantrylux Software keeps a list of files and a list of folders (a folder
counts with every file below it) and opens them one after another in
random order, each with the desktop's default application, waiting a
chosen number of seconds between two files, once each or endlessly.")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "open files at random
${gantrylux_description}")

# `make package-rpm`: the same tree as an RPM package, for Fedora, openSUSE and their relatives.
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_SUMMARY "Open files at random")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${gantrylux_description}")
set(CPACK_RPM_PACKAGE_LICENSE "LicenseRef-Proprietary")
set(CPACK_RPM_PACKAGE_GROUP "Applications/File")
set(CPACK_RPM_PACKAGE_URL https://www.quillmere.com)
# The libraries come from the executable, found by rpmbuild; the desktop's opener and the
# window's font (by the name both families' font packages provide) are needed without being
# linked.
set(CPACK_RPM_PACKAGE_AUTOREQ ON)
set(CPACK_RPM_PACKAGE_REQUIRES "xdg-utils, font(liberationsans)")
# CPack names no weak dependency but Suggests; a line of the spec's preamble says it. The
# build-id links are left out, so that the package holds the .deb's files and no others.
set(CPACK_RPM_SPEC_MORE_DEFINE "Recommends: qt6-qtwayland
Packager: ${CPACK_PACKAGE_CONTACT}
%define _build_id_links none")
configure_file(packaging/rpm-changelog.in rpm-changelog @ONLY)
set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog)
# Folders the system's own packages own: the package lists only its own.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/libexec /usr/share/applications /usr/share/metainfo /usr/share/man /usr/share/man/man1
    /usr/share/icons /usr/share/icons/hicolor)
foreach(size 16x16 32x32 48x48 64x64 128x128 256x256 scalable)
    list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
         /usr/share/icons/hicolor/${size} /usr/share/icons/hicolor/${size}/apps)
endforeach()
include(CPack)
