# The update check and the About box: the list rules natively; the downloads, dialogs and version
# reader under Wine, built into a test program with the program's own sources and resources.
pelto_native_test(app_update_rules_tests
  SOURCES
    UpdateListTests.cpp
    ../../../app/update/UpdateList.cpp
    ../../../app/update/Sha256.cpp
    ../../../app/update/TranslationChoice.cpp)

if(WIN32)
  # Modules that only carry version resources for the reader: two translations, none, and a
  # resource whose translation table is empty.
  foreach(kind two_translations no_translation no_version)
    set(rc)
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${kind}.rc)
      set(rc ${CMAKE_CURRENT_LIST_DIR}/${kind}.rc)
    endif()
    add_library(update_${kind} SHARED ${CMAKE_CURRENT_LIST_DIR}/VersionDll.cpp ${rc})
    pelto_warnings(update_${kind})
  endforeach()
  # What the update dialog downloads and starts in the test of the whole update.
  add_executable(update_fake_installer WIN32 ${CMAKE_CURRENT_LIST_DIR}/FakeInstaller.cpp)
  target_link_options(update_fake_installer PRIVATE -municode)
  pelto_warnings(update_fake_installer)
endif()

get_property(pelto_app_sources GLOBAL PROPERTY PELTO_APP_SOURCES)
list(FILTER pelto_app_sources EXCLUDE REGEX "pelto\\.rc$")
pelto_win_test(app_update_tests DESKTOP
  SOURCES
    TestHttpServer.cpp
    UpdateTestSupport.cpp
    WebUpdateTests.cpp
    UpdateDialogTests.cpp
    VersionInfoTests.cpp
    ../main/AppTestSupport.cpp
    ../../lib/core/CoreTestSupport.cpp
    ../../../app/res/PeltoUi.rc
    ${pelto_app_sources}
  LINK "PeltoLib;gdiplus;ole32;comctl32;shell32;urlmon;winmm;version;comdlg32;oleaut32;uuid;ws2_32")
if(TARGET app_update_tests)
  add_dependencies(app_update_tests pelto update_two_translations update_no_translation
                   update_no_version update_fake_installer)
endif()
