pelto_lib_sources(WIN
  AppPath.cpp
  PeltoConfig.cpp
  PeltoConfigFile.cpp
  XmlNode.cpp
  XmlTree.cpp
  XmlParser.cpp
  XmlFile.cpp)
