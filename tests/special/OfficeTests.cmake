tamsel_add_test(tamsel_office_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OfficeTest.cpp ${CMAKE_CURRENT_LIST_DIR}/frmOfficeTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/InstallTest.cpp
  LIBS tamsel_special)
if(TARGET tamsel-updater)
  add_test(NAME InstallHandOffFromTheCommandLine
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/install-hand-off.sh $<TARGET_FILE:tamsel-updater>)
endif()
