// raster: the graphics and input layer of hexmap.
//
// One 32-bit screen of 0xAARRGGBB pixels, image buffers, BMP loading, rectangle copies,
// transparent and alpha puts, lines, circles, turtle command strings, a clip rectangle, 8x8
// text, mouse, keys, timer, random numbers and sleep. All pixel work is done here in software;
// a backend only presents finished frames and gathers input. Single-threaded.
//
// Coordinates are screen pixels (or image pixels when a target image is given); rectangles
// given by two corners include both corners. An image handle of nullptr means the screen.
// Operations that report success return 0, and non-zero on failure.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace raster {

using Color = uint32_t;  // 0xAARRGGBB

// A source pixel whose low 24 bits are this is transparent; the alpha byte is ignored.
inline constexpr Color kTransparentKey = 0x00FF00FF;
// The fill of an image created without a fill colour.
inline constexpr Color kTransparent = 0xFFFF00FF;

struct Image;  // an owned pixel buffer, known by its handle

// Everything declared from here on is an entry point of the shared library; its internals,
// Image's member functions included, stay hidden.
#pragma GCC visibility push(default)

enum class PutMode { transparent, alpha_blend };
inline constexpr PutMode put_transparent = PutMode::transparent;
inline constexpr PutMode put_alpha_blend = PutMode::alpha_blend;

// window: an SDL2 window, the default; headless: frames kept in memory only; web: the page's
// <canvas id="canvas">, the default (and the only one besides headless) in a WebAssembly build.
enum class Backend { window, headless, web };
// Chooses how frames are presented and input gathered; takes effect at the next
// screen_set_mode, which fails for a backend this build lacks.
void select_backend(Backend backend);

// Why the most recent refused operation was refused (empty until something is refused).
std::string_view failure_reason();

// ---- Screen ----
// Opens the screen. Fails for width or height below 1 or a depth not in {1,2,4,8,15,16,24,32},
// for more than 32768 pixels a side or 2^26 in all, and when the backend cannot open; then
// nothing changes. Pixels are 32-bit whatever the depth. A new mode starts black, unclipped,
// unlocked, with the text cursor at (1, 1), the graphics cursor at the centre and no input.
int screen_set_mode(int width = 640, int height = 400, int depth = 32, int pages = 0, int flags = 0,
                    int refresh_rate = 0);
int screen_info(int& width, int& height, int& depth, int& bytes_per_pixel, int& pitch,
                int& refresh_rate, std::string& driver_name);
// The pixels of the frame being built, or nullptr when no screen is open.
Color* screen_ptr();
// Nesting count; only the outermost unlock shows lines first_line..last_line (screen rows,
// inclusive, -1 meaning the first or last row, others cut to the screen). An unbalanced unlock
// is refused. Drawing on the screen outside a lock is shown at the next input reading, sleep,
// lock or presented_frame().
int screen_lock();
int screen_unlock(int first_line = -1, int last_line = -1);
// Fills the clip rectangle (or the whole screen when none is set) with the background colour.
int screen_clear();

// ---- Images ----
// nullptr without a screen, when width or height is below 1, beyond the screen's size limits,
// or for a depth other than 0 or the screen's. Without fill_given the image is filled with
// kTransparent.
Image* image_create(int width, int height, Color fill = kTransparent, int depth = 0,
                    bool fill_given = false);
void image_destroy(Image* image);
int image_width(const Image* image);
int image_height(const Image* image);
// Read-only view of an image's pixels: width x height, row-major; empty for nullptr.
std::span<const Color> image_pixels(const Image* image);
// Reads a BMP file (8-bit palette, 24 or 32 bits, either row order) onto dest at (0, 0),
// clipped. Non-zero, and nothing changed, for a missing or malformed file. Loaded pixels get
// alpha 0xFF; palette indices beyond the file's palette read as black.
int bmp_load(std::string_view file_name, Image* dest);
// Reads and checks a whole BMP file as bmp_load does, without drawing it or needing a screen:
// the picture's size (height positive for either row order). Non-zero, and width and height
// untouched, for a missing, unreadable or malformed file.
int bmp_size(std::string_view file_name, int& width, int& height);
// Copies the rectangle (x1, y1)-(x2, y2), corners inclusive, of source (nullptr = the screen)
// into dest, whose size must be (x2 - x1 + 1) x (y2 - y1 + 1). Non-zero, dest unchanged, when
// the rectangle is not wholly inside the source or the size differs.
int image_get(const Image* source, int x1, int y1, int x2, int y2, Image* dest);
// Draws all of source with its top-left corner at (x, y) of target, clipped. put_transparent
// copies opaque source pixels whole, alpha byte included. put_alpha_blend mixes red, green and
// blue as d + floor((s - d) * (alpha + 1) / 256) and keeps the target's alpha byte; alpha is
// clamped to 0..255 and 0 draws nothing. Non-zero for a null source, a non-finite position,
// or the screen as target without a screen.
int put_image(Image* target, float x, float y, const Image* source, PutMode mode, int alpha = 255);

// ---- Drawing primitives ----
// coordinate_mode 1: (x2, y2) is an offset from (x1, y1). Both end points are drawn. style's
// bit 15 belongs to the first pixel, bit 14 to the second, and so on, repeating every 16.
// Positions become the pixels containing them; non-finite ones are refused.
int draw_line(Image* target, float x1, float y1, float x2, float y2, Color color,
              int style = 0xFFFF, int coordinate_mode = 0);
// aspect is the vertical over the horizontal radius (0 or less means 1). Angles are radians
// counter-clockwise from the right with y pointing up the screen; an arc spanning 2 pi or more
// is the full circle. A radius of 0 or less draws nothing; the cursor becomes the centre.
int draw_circle(Image* target, float cx, float cy, float radius, Color color, float aspect = 0,
                float start_angle = 0, float end_angle = 6.2831859f, bool filled = false);
// Turtle commands: U D L R E F G H n, M x,y, prefixes B and N; starts at the graphics cursor.
// Other characters are skipped; a malformed M ends the string. Huge counts still move the pen
// (up to 2^28 pixels away) but only plot where the target is.
int draw_commands(Image* target, std::string_view commands);
// The graphics cursor (pixel position) every primitive leaves behind.
void graphics_cursor(float& x, float& y);

// ---- Clipping ----
// Clip rectangle (x1, y1)-(x2, y2), inclusive, corners in any order, cut to the screen.
int view_set(int x1, int y1, int x2, int y2);
// Removes the clip rectangle.
int view_set();

// ---- Text (8x8 cells, 1-based rows and columns) ----
// White on black on the screen, not confined by the view. Characters outside printable ASCII
// show as blanks. Text wraps to the next row; past the last row it stays on the last row.
int text_locate(int row, int column);
int print_text(std::string_view text, bool new_line = true);

// ---- Input ----
// Position in screen pixels, wheel count, buttons (bit 0 left, bit 1 right), clip; 0 on
// success. Without a reading all five are -1 and the result is non-zero.
int mouse_state(int& x, int& y, int& wheel, int& buttons, int& clip);
// -1 while the key with this PC scan code (set 1) is down, else 0 (also for codes outside
// 0..127 and without a screen).
int key_down(int scan_code);
// Next key press: one character, or "\xFF" and the extended code ("\xFF;" is F1, "\xFFk" is
// the window's close button); "" when there is none.
std::string key_read();

// ---- Time and chance ----
double timer_seconds();
void random_seed(double seed);
double random_unit();  // [0, 1), the same sequence after the same seed
// Blocks, gathering input now and then so the window stays responsive; refuses a negative time.
int sleep_ms(int milliseconds);

// ---- Fatal error report ----
enum ErrorNumber : int {
  kIllegalFunctionCall = 1,
  kFileNotFound = 2,
  kFileIoError = 3,
  kOutOfMemory = 4,
  kOutOfBounds = 6,
};
// The report's text without exiting; line <= 0 means unknown, empty names mean unknown, and
// numbers not listed above get the message "unknown error".
std::string fatal_error_text(int error, int line, std::string_view module,
                             std::string_view procedure);
// Prints fatal_error_text to standard output and ends the program with `error` as its status.
[[noreturn]] void fatal_error(int error, int line, std::string_view module,
                              std::string_view procedure);

// ---- Test seams of the headless backend ----
namespace headless {
void set_mouse(int x, int y, int buttons);
void push_key(std::string key);
void set_key_down(int scan_code, bool down);
// The pixels last shown by the outermost screen_unlock: width x height, row-major.
const std::vector<Color>& presented_frame();
}  // namespace headless

#pragma GCC visibility pop

}  // namespace raster
