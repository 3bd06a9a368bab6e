# Installation, Debian package, man page and command-line checks. They run the built program and
# the packaging tools as a user would, so they are scripts rather than GoogleTest cases.
set(_packaging_tests ${CMAKE_CURRENT_LIST_DIR})

add_test(NAME packaging.man_page
         COMMAND bash ${_packaging_tests}/man_page_test.sh
                 ${PROJECT_SOURCE_DIR}/doc/ringsmooth.1 ${PROJECT_VERSION})

add_test(NAME packaging.command_line
         COMMAND bash ${_packaging_tests}/command_line_test.sh
                 $<TARGET_FILE:ringsmooth> ${PROJECT_VERSION})

add_test(NAME packaging.install
         COMMAND bash ${_packaging_tests}/install_test.sh
                 ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION})

add_test(NAME packaging.deb
         COMMAND bash ${_packaging_tests}/deb_test.sh
                 ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR}
                 ${PROJECT_VERSION} $<TARGET_FILE:ringsmooth>)

add_test(NAME packaging.read_listing
         COMMAND bash ${_packaging_tests}/read_listing_test.sh
                 $<TARGET_FILE:ringsmooth> ${PROJECT_SOURCE_DIR})

# Each of these writes into a temporary folder of its own; installing and packaging both run
# the build folder's install script, which leaves its manifest there, so they take turns.
set_tests_properties(packaging.man_page packaging.command_line packaging.install packaging.deb
                     packaging.read_listing PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
set_tests_properties(packaging.install packaging.deb PROPERTIES RESOURCE_LOCK ringsmooth_install)
