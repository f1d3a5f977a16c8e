/* Tovrin: pixel-art scalers for 16-bit RGB555 frame buffers.
 *
 * A host loads the module, calls Tovrin_Load once and walks the returned
 * table until it meets the entry whose scale is 0. For every frame it calls
 * the chosen entry's routine with the source picture, a change cache it owns
 * and a destination scale times as wide and as high.
 *
 * The host guarantees on every call: height positive and even; width a
 * positive multiple of 8; src, dst and cache 16-byte aligned with row strides
 * that are multiples of 16; source memory readable from one row above to two
 * rows below the picture and from one pixel before to two after each row; a
 * cache of at least max((4 * width + 8) * 2 * height, srcRowBytes * height)
 * bytes, filled with 0xFF bytes whenever the destination no longer shows what
 * the routine last drew there (first frame, other routine, other size, ...).
 */
#ifndef TOVRIN_H
#define TOVRIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TOVRIN_BUILDING_MODULE)
#define TOVRIN_API __attribute__((visibility("default")))
#else
#define TOVRIN_API
#endif

/* Pixels are RGB555 in native byte order: red bits 14-10, green 9-5,
 * blue 4-0; bit 15 is not part of the colour. Strides are in bytes, width
 * and height in source pixels and rows. */
typedef void (*BlitProc)(const uint16_t *src, int32_t srcRowBytes, void *cache,
                         uint16_t *dst, int32_t dstRowBytes, int32_t width,
                         int32_t height);

typedef struct ScalerEntry {
    int16_t scale;   /* magnification 1..5; 0 ends the table */
    char name[66];   /* display name, NUL-padded */
    BlitProc routine;
} ScalerEntry;

#ifdef __cplusplus
static_assert(offsetof(ScalerEntry, scale) == 0, "scale at offset 0");
static_assert(offsetof(ScalerEntry, name) == 2, "name at offset 2");
static_assert(offsetof(ScalerEntry, routine) == (sizeof(void *) == 8 ? 72 : 68),
              "routine at the first pointer-aligned offset after name");
#else
_Static_assert(offsetof(ScalerEntry, scale) == 0, "scale at offset 0");
_Static_assert(offsetof(ScalerEntry, name) == 2, "name at offset 2");
_Static_assert(offsetof(ScalerEntry, routine) == (sizeof(void *) == 8 ? 72 : 68),
               "routine at the first pointer-aligned offset after name");
#endif

/* Fills the module's tables, prints a two-line banner on standard output and
 * returns the first entry of the scaler table. Call once, from one thread,
 * before any routine. */
TOVRIN_API const ScalerEntry *Tovrin_Load(void);

/* Does nothing; call it before unloading the module. */
TOVRIN_API void Tovrin_Unload(void);

#ifdef __cplusplus
}
#endif

#endif /* TOVRIN_H */
