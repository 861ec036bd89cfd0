# Office detection, PowerPoint add-ins, the version chooser, the installer's hand-offs and the
# removal of older copies: units of the special library.
target_sources(tamsel_special PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/COffice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPowerpoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frmOffice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modInstall.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modPowerPoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfficeVersions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/removeOlderVersions.cpp)
target_link_libraries(tamsel_special PUBLIC tamsel_engine tamsel_reporting)
