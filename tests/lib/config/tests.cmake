pelto_win_test(config_tests
  SOURCES
    ConfigTestSupport.cpp
    XmlTestSupport.cpp
    ConfigModelTests.cpp
    XmlTreeTests.cpp
    XmlFormatTests.cpp
    ConfigFileTests.cpp
    XmlRandomInputTests.cpp
    ConfigHostileTests.cpp
    ConfigPlaceTests.cpp
    ConfigTestData.rc
  LINK PeltoLib psapi)
