// The picture on the clipboard in the forms other programs take: a device bitmap, a
// device-independent bitmap and PNG, all put in one opening; and the first of them that is there,
// read back with its size checked before any pixel is touched.
#pragma once

#include <windows.h>

class CImageBitmap;

// True unless the clipboard's owner is another program's window that does not answer within
// about two seconds: asking it to render a delayed format would then wait for good.
BOOL ClipboardOwnerAnswers();
// Empties the open clipboard and puts hBitmap (which the clipboard then owns), its DIB and its
// PNG there. TRUE when the bitmap itself was taken; the caller gives it up then.
BOOL PutPictureOnOpenClipboard(HBITMAP hBitmap);
// Reads the open clipboard's picture into out: a bitmap, else a DIB, else PNG. FALSE when none is
// there, it is malformed, or it holds more pixels than a picture may.
BOOL ReadPictureFromOpenClipboard(CImageBitmap& out);
