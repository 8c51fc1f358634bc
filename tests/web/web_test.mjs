// The demo's web page in headless Chromium: the window's scripted session played on the canvas,
// its shots and output checked by the same checker as the window's (e2e_demo_check), the frame
// times measured, and the page's messages when it cannot run.
//
// Environment: HEXMAP_WEB_DIR (the page's folder), HEXMAP_E2E_CHECK (e2e_demo_check),
// HEXMAP_DEMO_RUN_DIR (the data files the page packs); HEXMAP_BENCH_DEMO_FRAME (optional,
// bench_demo_frame) prints the native figure beside the page's. Screen pixels throughout.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { createServer } from "node:http";
import { mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { extname, join, normalize } from "node:path";
import { chromium } from "playwright-core";

const webDir = process.env.HEXMAP_WEB_DIR;
const checker = process.env.HEXMAP_E2E_CHECK;
const runDir = process.env.HEXMAP_DEMO_RUN_DIR;
if (!webDir || !checker || !runDir) throw new Error("run through scripts/web-test.sh (make web-test)");
const screens = join(webDir, "screens");
const [width, height] = [640, 400];
const kMeasuredFrames = 300;
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".svg": "image/svg+xml", ".data": "application/octet-stream" };

// Serves the page's folder on 127.0.0.1 and resolves to its address.
function serve() {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const file = join(webDir, path === "/" ? "index.html" : path);
    try {
      const body = readFileSync(file);
      // Cross-origin isolation gives performance.now its fine resolution.
      response.writeHead(200, { "content-type": types[extname(file)] ?? "application/octet-stream",
                                "cross-origin-opener-policy": "same-origin",
                                "cross-origin-embedder-policy": "require-corp" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () =>
    resolve({ server, url: `http://127.0.0.1:${server.address().port}/` })));
}

async function withPage(body, prepare = async () => {}) {
  const { server, url } = await serve();
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", headless: true,
                                          args: ["--no-sandbox"] });
  try {
    const page = await browser.newPage({ viewport: { width: 820, height: 540 } });
    const seen = { errors: [], log: [], requests: [] };
    page.on("console", (m) => (m.type() === "error" ? seen.errors : seen.log).push(m.text()));
    page.on("pageerror", (e) => seen.errors.push(String(e)));
    page.on("request", (r) => seen.requests.push(r.url()));
    await prepare(page);
    await page.goto(url);
    await body(page, seen, url);
  } finally {
    await browser.close();
    server.close();
  }
}

// The canvas as an xwd file of 0x00RRGGBB pixels, as the window's session keeps its shots.
async function shot(page, name) {
  const rgba = Buffer.from(await page.evaluate(() => {
    const c = document.getElementById("canvas");
    // Through a 2D copy: the canvas may be drawn by WebGL.
    const copy = document.createElement("canvas");
    Object.assign(copy, { width: c.width, height: c.height });
    const context = copy.getContext("2d");
    context.drawImage(c, 0, 0);
    const bytes = context.getImageData(0, 0, c.width, c.height).data;
    let s = "";
    for (let i = 0; i < bytes.length; i += 8192) s += String.fromCharCode(...bytes.subarray(i, i + 8192));
    return btoa(s);
  }), "base64");
  const header = Buffer.alloc(100);
  const fields = [100, 7, 2, 24, width, height, 0, 1, 32, 1, 32, 32, width * 4, 4,
                  0xff0000, 0xff00, 0xff, 8, 256, 0, width, height, 0, 0, 0];
  fields.forEach((v, i) => header.writeUInt32BE(v, i * 4));
  const pixels = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    pixels.writeUInt32BE((rgba[4 * i] << 16) | (rgba[4 * i + 1] << 8) | rgba[4 * i + 2], 4 * i);
  }
  writeFileSync(join(screens, `${name}.xwd`), Buffer.concat([header, pixels]));
  await page.locator("#canvas").screenshot({ path: join(screens, `${name}.png`) });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const check = (...args) => spawnSync(checker, args, { encoding: "utf8" });

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// bench_demo_frame's figure in milliseconds, when the benchmark is at hand.
function nativeFrameMs() {
  const bench = process.env.HEXMAP_BENCH_DEMO_FRAME;
  if (!bench) return null;
  const report = join(screens, "bench_demo_frame.json");
  execFileSync(bench, [`--benchmark_out=${report}`, "--benchmark_out_format=json"], { stdio: "ignore" });
  const run = JSON.parse(readFileSync(report, "utf8")).benchmarks[0];
  return run.real_time / { ns: 1e6, us: 1e3, ms: 1 }[run.time_unit];
}

test("the window's session on the page", async () => {
  let web = 0;
  let drawn = 0;
  rmSync(screens, { recursive: true, force: true });
  mkdirSync(screens, { recursive: true });
  await withPage(async (page, seen, url) => {
    const canvas = await page.locator("#canvas").boundingBox();
    const click = async (x, y, button) => {
      await page.mouse.move(canvas.x + x, canvas.y + y);
      await sleep(100);
      await page.mouse.click(canvas.x + x, canvas.y + y, { button });
    };
    await page.waitForFunction(() => document.getElementById("status").textContent === "Running");
    await sleep(1000);
    await shot(page, "shot-1");  // the start, the camera on the wizard
    await page.keyboard.press("Space");
    await sleep(2000);
    await shot(page, "shot-2");  // the camera on the hero at (0, 1)
    await click(331, 343, "left");  // cell (5, 5)
    for (let tries = 0; ; ++tries) {
      await sleep(500);
      await shot(page, "shot-3");
      if (check("arrived", screens, runDir).status === 0) break;
      assert.ok(tries < 80, "the hero did not arrive");
    }
    await page.keyboard.press("F1");
    await sleep(500);
    await shot(page, "shot-4");  // paths hidden
    await click(159, 202, "right");  // the top side of cell (4, 6)
    await sleep(500);
    await shot(page, "shot-5");  // the wall between (4, 6) and (4, 5)
    await page.keyboard.press("F1");
    await sleep(500);
    await shot(page, "shot-6");  // paths shown again
    await page.screenshot({ path: join(screens, "page.png") });

    const times = await page.evaluate(() => [Module.frameTimes.slice(), Module.drawTimes.slice()]);
    assert.ok(times[0].length >= kMeasuredFrames, `only ${times[0].length} frames measured`);
    [web, drawn] = times.map((t) => median(t.slice(-kMeasuredFrames)));

    await page.keyboard.press("Escape");
    await page.waitForFunction(() => document.getElementById("overlay").textContent.startsWith("Stopped."));
    await page.screenshot({ path: join(screens, "stopped.png") });
    writeFileSync(join(screens, "out.txt"), seen.log.join("\n") + "\n");
    writeFileSync(join(screens, "status"), "0\n");
    const verdict = check("session", screens, runDir);
    assert.equal(verdict.status, 0, verdict.stderr);
    assert.deepEqual(seen.errors, []);
    assert.deepEqual(seen.requests.filter((r) => !r.startsWith(url)), []);
  });
  // The native figure is taken with the browser closed, so that neither slows the other.
  const native = nativeFrameMs();
  console.log(`frame drawing, screen lock to unlock: page ${web.toFixed(3)} ms (median of ` +
              `${kMeasuredFrames} frames; ${drawn.toFixed(3)} ms before the canvas gets the frame)` +
              (native === null ? "" :
              `, native headless ${native.toFixed(3)} ms (bench_demo_frame, mean of its frames), ` +
              `${(web / native).toFixed(2)}x`));
});

test("the page says why it cannot run", async () => {
  await withPage(async (page) => {
    await page.waitForFunction(() => document.getElementById("overlay").textContent !== "");
    assert.match(await page.locator("#overlay").textContent(), /could not load/);
  }, (page) => page.route("**/hexmap_demo.data", (route) => route.fulfill({ status: 404 })));
  // A data file the program cannot find: its runtime error report, as in the window.
  await withPage(async (page) => {
    await page.waitForFunction(() => document.getElementById("overlay").textContent !== "");
    assert.match(await page.locator("#overlay").textContent(),
                 /stopped with status 2\.[^]*runtime error 2 \(file not found\)/);
  }, (page) => page.route("**/hexmap_demo.js", async (route) => {
    const script = await (await route.fetch()).text();
    await route.fulfill({ contentType: "text/javascript",
                          body: script.replace('"/demo_frame.bmp"', '"/demo_frame_gone.bmp"') });
  }));
  await withPage(async (page) => {
    assert.match(await page.locator("#overlay").textContent(), /needs WebAssembly/);
    await page.screenshot({ path: join(screens, "no-webassembly.png") });
  }, (page) => page.addInitScript(() => delete window.WebAssembly));
});
