// The web backend: shows finished frames on the page's <canvas id="canvas"> through its 2D
// context and turns the canvas's events into the layer's input state (screen pixels, PC scan
// codes, key strings). Events are queued as they come and applied in order when the program
// reads its input, so a slow frame loses nothing.
#include <emscripten.h>
#include <emscripten/html5.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "raster/internal.hpp"
#include "raster/keys.hpp"

// clang-format off
// Gets the canvas ready for width x height pixels: 2 when it draws through WebGL, which takes the
// frame's B, G, R, A bytes as they are and swaps them in its shader; 1 through the 2D context,
// which wants R, G, B, A; 0 when the page has no canvas.
EM_JS(int, hexmap_web_open, (int width, int height), {
  const canvas = document.getElementById("canvas");
  if (!canvas) return 0;
  canvas.width = width;
  canvas.height = height;
  if (canvas.tabIndex < 0) canvas.tabIndex = 0;
  canvas.oncontextmenu = (event) => event.preventDefault();
  // The program takes the mouse's presses, so the canvas takes the keyboard's focus itself.
  canvas.onmousedown = () => canvas.focus();
  Module.hexmapLockedAt = null;
  // Milliseconds of the latest frames: screen lock to unlock (frameTimes), and screen lock to
  // the finished frame's hand-over, before the canvas gets it (drawTimes).
  Module.frameTimes = Module.frameTimes || [];
  Module.drawTimes = Module.drawTimes || [];
  Module.hexmapFrameShown = () => {
    if (Module.hexmapLockedAt === null) return;
    Module.frameTimes.push(performance.now() - Module.hexmapLockedAt);
    Module.drawTimes.push(Module.hexmapDrawnAt - Module.hexmapLockedAt);
    if (Module.frameTimes.length > 1000) Module.frameTimes.shift();
    if (Module.drawTimes.length > 1000) Module.drawTimes.shift();
    Module.hexmapLockedAt = null;
  };
  // Opaque: every frame covers the canvas, so the browser need not blend it with the page. The
  // drawing buffer is kept so the page can read the shown frame back.
  const gl = canvas.getContext("webgl", {alpha: false, antialias: false, depth: false,
    stencil: false, preserveDrawingBuffer: true});
  // Builds the program, buffer and texture; again when a lost context comes back, after which
  // the next frame goes up whole.
  const setup = () => {
    if (Math.max(width, height) > gl.getParameter(gl.MAX_TEXTURE_SIZE)) return false;
    const shader = (type, source) => {
      const made = gl.createShader(type);
      gl.shaderSource(made, source);
      gl.compileShader(made);
      return made;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, "attribute vec2 p; varying vec2 t; void main() {" +
      " t = vec2(p.x * 0.5 + 0.5, 0.5 - p.y * 0.5); gl_Position = vec4(p, 0.0, 1.0); }"));
    // Full precision where there is some: half floats miss texel centres on wide screens.
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, "#ifdef GL_FRAGMENT_PRECISION_HIGH\n" +
      "precision highp float;\n#else\nprecision mediump float;\n#endif\nvarying vec2 t;" +
      " uniform sampler2D frame; void main() { gl_FragColor = vec4(texture2D(frame, t).bgr, 1.0); }"));
    gl.bindAttribLocation(program, 0, "p");
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return false;
    // One texture of the frame; a triangle over the whole canvas samples texel for pixel, the
    // first row of the frame at the canvas's top.
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 3, -1, -1, 3]), gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    for (const p of [gl.TEXTURE_MIN_FILTER, gl.TEXTURE_MAG_FILTER]) gl.texParameteri(gl.TEXTURE_2D, p, gl.NEAREST);
    for (const p of [gl.TEXTURE_WRAP_S, gl.TEXTURE_WRAP_T]) gl.texParameteri(gl.TEXTURE_2D, p, gl.CLAMP_TO_EDGE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    gl.viewport(0, 0, width, height);
    Module.hexmapGlWhole = true;
    return true;
  };
  if (gl && setup()) {
    Module.hexmapGl = gl;
    Module.hexmapGlSetup = setup;
    // A lost context is asked back, and rebuilt when it comes (listened to once per page).
    if (!Module.hexmapGlListening) {
      canvas.addEventListener("webglcontextlost", (event) => event.preventDefault());
      canvas.addEventListener("webglcontextrestored", () => Module.hexmapGlSetup());
      Module.hexmapGlListening = true;
    }
    return 2;
  }
  Module.hexmapContext = canvas.getContext("2d", {alpha: false});
  return Module.hexmapContext ? 1 : 0;
});

EM_JS(void, hexmap_web_frame_begun, (), {
  Module.hexmapLockedAt = performance.now();
});

EM_JS(void, hexmap_web_frame_drawn, (), {
  Module.hexmapDrawnAt = performance.now();
});

// Rows first..last of pixels (width x height, B, G, R, A bytes), or all of them after the
// context was rebuilt, into the WebGL texture, then the whole texture onto the canvas; nothing
// while the context is lost.
EM_JS(void, hexmap_web_present_gl, (const void* pixels, int width, int height, int first, int last), {
  const gl = Module.hexmapGl;
  if (gl.isContextLost()) {
    Module.hexmapFrameShown();
    return;
  }
  if (Module.hexmapGlWhole) {
    first = 0;
    last = height - 1;
    Module.hexmapGlWhole = false;
  }
  if (first <= last) {
    const rows = HEAPU8.subarray(pixels + first * width * 4, pixels + (last + 1) * width * 4);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, first, width, last - first + 1, gl.RGBA, gl.UNSIGNED_BYTE, rows);
  }
  gl.drawArrays(gl.TRIANGLES, 0, 3);
  Module.hexmapFrameShown();
});

// rgba: width x height pixels, bytes R, G, B, A. The ImageData over them is made once, and
// again only when memory growth replaces the heap's buffer or the pixels move.
EM_JS(void, hexmap_web_present_2d, (const void* rgba, int width, int height), {
  let image = Module.hexmapImage;
  if (!image || image.data.buffer !== HEAPU8.buffer || Module.hexmapImageAt !== rgba) {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    image = Module.hexmapImage = new ImageData(bytes, width, height);
    Module.hexmapImageAt = rgba;
  }
  Module.hexmapContext.putImageData(image, 0, 0);
  Module.hexmapFrameShown();
});
// clang-format on

namespace raster::detail {
namespace {

constexpr const char* kCanvas = "#canvas";
// hexmap_web_open's answers.
constexpr int kNoCanvas = 0;
constexpr int kWebGl = 2;
constexpr EM_BOOL kHandled =
    EM_TRUE;  // the browser's own action (scrolling, help, find) is skipped

// A release is held back until the press has been seen by a whole frame, or for this long when
// the program shows no frames, so that a quick click or tap still counts.
constexpr double kMinPressMs = 100;

// DOM mouse buttons 0 (left) and 2 (right) are the layer's bits 0 and 1.
constexpr int kDomLeftButton = 0;
constexpr int kDomRightButton = 2;

// One event of the canvas, waiting for the program to read its input.
struct WebEvent {
  enum class Kind { move, press, release, key_down, key_up, wheel, blur };
  Kind kind = Kind::move;
  int x = 0;  // screen pixels (move, press)
  int y = 0;
  int code = 0;      // button bit (press, release), PC scan code (keys), wheel steps
  std::string text;  // key_down: the key string it queues, if any
};

// 0xAARRGGBB is B, G, R, A in memory; the canvas wants R, G, B, A, opaque.
uint32_t to_rgba(Color c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

void to_rgba(const Color* frame, uint32_t* rgba, size_t count) {
  size_t i = 0;
#ifdef __wasm_simd128__
  const v128_t opaque = wasm_i32x4_splat(static_cast<int32_t>(0xFF000000u));
  for (; i + 4 <= count; i += 4) {
    const v128_t bgra = wasm_v128_load(frame + i);
    const v128_t rgb =
        wasm_i8x16_shuffle(bgra, bgra, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    wasm_v128_store(rgba + i, wasm_v128_or(rgb, opaque));
  }
#endif
  for (; i < count; ++i)
    rgba[i] = to_rgba(frame[i]);
}

class WebPresenter final : public Presenter {
 public:
  ~WebPresenter() override { listen(false); }

  std::string open(int width, int height) override {
    const int drawn_by = hexmap_web_open(width, height);
    if (drawn_by == kNoCanvas) return "the page has no <canvas id=\"canvas\">";
    gl_ = drawn_by == kWebGl;
    if (!gl_) rgba_.assign(static_cast<size_t>(width) * height, 0);
    width_ = width;
    height_ = height;
    listen(true);
    return {};
  }

  void frame_begun() override { hexmap_web_frame_begun(); }

  void present(const Color* frame, int width, int height) override {
    present_rows(frame, width, height, 0, height - 1);
  }

  // The canvas keeps what it shows, so only the rows that changed go to it, straight from the
  // frame: WebGL takes them as they are, the 2D context after a swap into rgba_, its copy.
  bool present_rows(const Color* frame, int width, int height, int first, int last) override {
    if (frame == nullptr || width != width_ || height != height_) return true;
    hexmap_web_frame_drawn();
    first = std::max(first, 0);
    last = std::min(last, height - 1);
    if (gl_) {
      hexmap_web_present_gl(frame, width, height, first, last);
    } else {
      if (first <= last) {
        const size_t begin = static_cast<size_t>(first) * width;
        to_rgba(frame + begin, rgba_.data() + begin, static_cast<size_t>(last - first + 1) * width);
      }
      hexmap_web_present_2d(rgba_.data(), width, height);
    }
    ++frames_;
    return true;
  }

  void poll(InputState& input) override {
    while (!pending_.empty()) {
      const WebEvent& e = pending_.front();
      if (held_back(e)) break;
      apply(e, input);
      pending_.pop_front();
    }
  }

  std::string name() const override { return "web canvas"; }

 private:
  // When a press was applied: the frame count and the time.
  struct Pressed {
    unsigned frame = 0;
    double at = 0;
  };

  bool held_back(const WebEvent& e) const {
    if (e.kind != WebEvent::Kind::release && e.kind != WebEvent::Kind::key_up) return false;
    const Pressed& p =
        e.kind == WebEvent::Kind::release ? button_pressed_[e.code] : key_pressed_[e.code];
    return p.frame == frames_ && emscripten_get_now() - p.at < kMinPressMs;
  }

  void apply(const WebEvent& e, InputState& input) {
    const Pressed now{frames_, emscripten_get_now()};
    switch (e.kind) {
      case WebEvent::Kind::move:
        set_mouse(e.x, e.y, input);
        break;
      case WebEvent::Kind::press:
        set_mouse(e.x, e.y, input);
        input.buttons |= 1 << e.code;
        button_pressed_[e.code] = now;
        break;
      case WebEvent::Kind::release:
        input.buttons &= ~(1 << e.code);
        break;
      case WebEvent::Kind::key_down:
        if (e.code != 0) {
          input.keys[static_cast<size_t>(e.code)] = true;
          key_pressed_[static_cast<size_t>(e.code)] = now;
        }
        if (!e.text.empty()) input.queue.push_back(e.text);
        break;
      case WebEvent::Kind::key_up:
        if (e.code != 0) input.keys[static_cast<size_t>(e.code)] = false;
        break;
      case WebEvent::Kind::wheel:
        input.wheel += e.code;
        break;
      case WebEvent::Kind::blur:
        // Releases can happen elsewhere; nothing stays held.
        input.keys.fill(false);
        input.buttons = 0;
        break;
    }
  }

  static void set_mouse(int x, int y, InputState& input) {
    input.mouse_x = x;
    input.mouse_y = y;
    input.mouse_known = true;
  }

  // Canvas CSS pixels to screen pixels: the page may show the canvas scaled.
  void to_screen(const EmscriptenMouseEvent& e, int& x, int& y) const {
    double css_width = 0;
    double css_height = 0;
    emscripten_get_element_css_size(kCanvas, &css_width, &css_height);
    x = css_width > 0 ? static_cast<int>(e.targetX * width_ / css_width) : e.targetX;
    y = css_height > 0 ? static_cast<int>(e.targetY * height_ / css_height) : e.targetY;
  }

  static int button_bit(unsigned short dom_button) {
    if (dom_button == kDomLeftButton) return 0;
    if (dom_button == kDomRightButton) return 1;
    return -1;
  }

  static EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void* self) {
    auto& p = *static_cast<WebPresenter*>(self);
    WebEvent event;
    p.to_screen(*e, event.x, event.y);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
      p.pending_.push_back(event);
      return EM_FALSE;
    }
    event.code = button_bit(e->button);
    if (event.code < 0) return EM_FALSE;
    event.kind =
        type == EMSCRIPTEN_EVENT_MOUSEDOWN ? WebEvent::Kind::press : WebEvent::Kind::release;
    p.pending_.push_back(event);
    return kHandled;
  }

  static EM_BOOL on_wheel(int /*type*/, const EmscriptenWheelEvent* e, void* self) {
    if (e->deltaY == 0) return EM_FALSE;
    WebEvent event;
    event.kind = WebEvent::Kind::wheel;
    event.code = e->deltaY < 0 ? 1 : -1;  // away from the user counts up
    static_cast<WebPresenter*>(self)->pending_.push_back(event);
    return kHandled;
  }

  static EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* e, void* self) {
    auto& p = *static_cast<WebPresenter*>(self);
    const std::string_view code = e->code;
    if (code == "AltLeft") p.left_alt_ = type == EMSCRIPTEN_EVENT_KEYDOWN;
    WebEvent event;
    event.code = pc_code_of_dom(code);
    if (type == EMSCRIPTEN_EVENT_KEYUP) {
      event.kind = WebEvent::Kind::key_up;
    } else {
      event.kind = WebEvent::Kind::key_down;
      event.text = dom_key_string({code, e->key, e->shiftKey != 0, e->ctrlKey != 0, e->altKey != 0,
                                   p.left_alt_, e->metaKey != 0});
    }
    p.pending_.push_back(std::move(event));
    return kHandled;
  }

  static EM_BOOL on_blur(int /*type*/, const EmscriptenFocusEvent* /*e*/, void* self) {
    auto& p = *static_cast<WebPresenter*>(self);
    p.left_alt_ = false;
    WebEvent event;
    event.kind = WebEvent::Kind::blur;
    p.pending_.push_back(event);
    return EM_FALSE;
  }

  // Listens to the canvas's events, or with `on` false no longer.
  void listen(bool on) {
    void* self = on ? this : nullptr;
    const em_mouse_callback_func mouse = on ? on_mouse : nullptr;
    const em_key_callback_func key = on ? on_key : nullptr;
    emscripten_set_mousedown_callback(kCanvas, self, EM_TRUE, mouse);
    emscripten_set_mousemove_callback(kCanvas, self, EM_TRUE, mouse);
    // A button released outside the canvas is still released.
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, self, EM_TRUE, mouse);
    emscripten_set_wheel_callback(kCanvas, self, EM_TRUE, on ? on_wheel : nullptr);
    emscripten_set_keydown_callback(kCanvas, self, EM_TRUE, key);
    emscripten_set_keyup_callback(kCanvas, self, EM_TRUE, key);
    emscripten_set_blur_callback(kCanvas, self, EM_TRUE, on ? on_blur : nullptr);
  }

  int width_ = 0;
  int height_ = 0;
  bool gl_ = false;             // drawn through WebGL, else the 2D context
  std::vector<uint32_t> rgba_;  // the 2D context's frame: bytes R, G, B, A
  std::deque<WebEvent> pending_;
  unsigned frames_ = 0;  // frames presented so far
  std::array<Pressed, 2> button_pressed_{};
  std::array<Pressed, kScanCodes> key_pressed_{};
  bool left_alt_ = false;
};

}  // namespace

std::unique_ptr<Presenter> make_web_presenter() {
  return std::make_unique<WebPresenter>();
}

}  // namespace raster::detail
