# What "cmake --install" puts where (XDG places under the prefix), and the
# Debian package CPack builds from it.

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(QUORVANE_BUILD_GUI)
    install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane/help)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.belvantis.Quorvane.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.belvantis.Quorvane.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # The application icon in the hicolor theme: the SVG, and PNGs of the
    # usual sizes rendered from it at build time.
    set(icon_source ${CMAKE_SOURCE_DIR}/src/ui/resources/icons/quorvane.svg)
    add_executable(render_icon ${CMAKE_SOURCE_DIR}/packaging/render_icon.cpp)
    target_link_libraries(render_icon PRIVATE Qt6::Gui Qt6::Svg)
    set(icon_pngs)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}/org.belvantis.Quorvane.png)
        add_custom_command(OUTPUT ${png}
                           COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                                   $<TARGET_FILE:render_icon> ${icon_source} ${size} ${png}
                           DEPENDS render_icon ${icon_source} VERBATIM)
        list(APPEND icon_pngs ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(icons ALL DEPENDS ${icon_pngs})
    install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME org.belvantis.Quorvane.svg)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Belvantis)
set(CPACK_PACKAGE_VERSION 1.1.1)
set(CPACK_PACKAGE_CONTACT "Belvantis <support@belvantis.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Challenge-response spam blocker for POP3 mailboxes")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvane reads the headers of the mail waiting in your POP3 accounts, leaves mail\n"
    "from approved senders on the server, quarantines mail from unknown senders and\n"
    "challenges them with an automatic reply. Senders who answer are approved and\n"
    "their held mail is released to the inbox.")
# The icons are SVG, drawn by Qt's SVG plugins at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
