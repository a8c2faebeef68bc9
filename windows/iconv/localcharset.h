#ifndef VELMORA_WINDOWS_LOCALCHARSET_H
#define VELMORA_WINDOWS_LOCALCHARSET_H
/* The one call of libcharset that libfreexl's Windows build names. */
#ifdef __cplusplus
extern "C" {
#endif
const char* locale_charset(void);
#ifdef __cplusplus
}
#endif
#endif
