pelto_lib_sources(WIN
  PeltoConfig.cpp
  PeltoConfigFile.cpp
  XmlNode.cpp
  XmlTree.cpp
  XmlParser.cpp
  XmlFile.cpp)
