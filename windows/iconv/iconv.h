#ifndef VELMORA_WINDOWS_ICONV_H
#define VELMORA_WINDOWS_ICONV_H
/* The iconv calls the Windows build needs, over the code pages of Windows: conversions
   between UTF-8 and ASCII, UTF-16LE, GBK and the numbered code pages ("CP936"). Like
   iconv, a conversion stops at the first invalid or incomplete sequence (EILSEQ, EINVAL)
   or when the output is full (E2BIG), having consumed the input before it. */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct velmora_iconv* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
