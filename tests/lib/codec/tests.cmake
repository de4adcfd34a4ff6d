pelto_win_test(codec_tests
  SOURCES CodecTestSupport.cpp CodecInfoTests.cpp ImageSavingTests.cpp
  LINK "PeltoLib;gdiplus;ole32")
pelto_win_test(codec_dialog_tests DESKTOP
  SOURCES CodecTestSupport.cpp FileDialogDriver.cpp GdiplusFileDialogTests.cpp
  LINK "PeltoLib;gdiplus;ole32")
