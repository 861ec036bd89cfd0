# The update log, its upload, and the environment texts it reports.
target_sources(tamsel_reporting PRIVATE
  CLog.cpp
  Crc.cpp
  Environment.cpp
  LogSender.cpp
  ReportsAddress.cpp
  SystemInfoText.cpp)
# The facts about the machine come from each system's own sources.
if(WIN32)
  target_sources(tamsel_reporting PRIVATE windows/SystemInfo.cpp windows/SystemTexts.cpp
                                          windows/WindowsVersionName.cpp)
  target_link_libraries(tamsel_reporting PRIVATE iphlpapi wininet)
else()
  target_sources(tamsel_reporting PRIVATE SystemInfo.cpp SystemTexts.cpp)
endif()
target_link_libraries(tamsel_reporting PUBLIC tamsel_engine tamsel_catalogue tamsel_config
                                              tamsel_platform ${CMAKE_DL_LIBS})

# The reports server that a "YES" second copy of the update log goes to, unless the global
# setting "reports_server" names another. Empty: a build for no particular deployment sends no
# second copy, rather than the user's details to whatever listens at a guessed address.
set(TAMSEL_REPORTS_SERVER "" CACHE STRING
    "Built-in address of the reports server (scheme, host and port); empty for none")
set_source_files_properties(ReportsAddress.cpp PROPERTIES
  COMPILE_DEFINITIONS "TAMSEL_REPORTS_SERVER=\"${TAMSEL_REPORTS_SERVER}\"")
