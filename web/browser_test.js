// The showcase in a real browser: serves the built page on 127.0.0.1, runs
// the tour in Debian's headless Chromium up to a frame of every scene, and
// holds the canvas to the frame the headless driver wrote for the same frame
// number, pixel for pixel after the palette; on the widest path WebAssembly
// has (the SSE2 kernels as SIMD) and on the plain loops. Then the keys: space pauses,
// an arrow moves to another scene, Esc ends the tour. A screenshot of every
// scene is kept in PAGE_DIR/artefacts/.
//
// usage: node web/browser_test.js PAGE_DIR NATIVE_ZELDEMO
// (playwright-core and pngjs along NODE_PATH; scripts/web.sh --test does it all)
'use strict';

const { chromium } = require('playwright-core');
const { PNG } = require('pngjs');
const { spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const [pageDir, zeldemo] = process.argv.slice(2);
if (!pageDir || !zeldemo) {
  console.error('usage: node web/browser_test.js PAGE_DIR NATIVE_ZELDEMO');
  process.exit(2);
}
let passed = 0;
let failed = 0;
const check = (ok, what) => {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  ok ? ++passed : ++failed;
};

function serve(dir) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
  const server = http.createServer((request, response) => {
    const file = path.join(dir, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const name = file.endsWith(path.sep) ? path.join(file, 'index.html') : file;
    if (!name.startsWith(path.resolve(dir)) || !fs.existsSync(name) || !fs.statSync(name).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(name).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function run(args) {
  const result = spawnSync(zeldemo, args, { encoding: 'utf8' });
  if (result.status !== 0)
    throw new Error(`${zeldemo} ${args.join(' ')}: ${result.stderr || result.error}`);
  return result.stdout;
}

// The first frame where the page and the headless frame differ, or null.
function firstDifference(canvas, png) {
  if (canvas.width !== png.width || canvas.height !== png.height)
    return `size ${canvas.width}x${canvas.height}, frame ${png.width}x${png.height}`;
  for (let i = 0; i < png.data.length; i += 4) {
    for (let c = 0; c < 4; ++c) {
      if (canvas.data[i + c] !== png.data[i + c]) {
        const p = i / 4;
        return `pixel (${p % png.width}, ${Math.floor(p / png.width)}): page ` +
          `${canvas.data.slice(i, i + 4)}, headless ${Array.from(png.data.subarray(i, i + 4))}`;
      }
    }
  }
  return null;
}

async function main() {
  const dir = path.resolve(pageDir);
  const artefacts = path.join(dir, 'artefacts');
  fs.rmSync(artefacts, { recursive: true, force: true });
  fs.mkdirSync(artefacts, { recursive: true });

  // Every frame of the tour from the headless driver, numbered as the
  // canvas driver numbers its frames.
  const frames = fs.mkdtempSync(path.join(os.tmpdir(), 'zeldemo-frames-'));
  run(['--driver', 'headless', '--fps', '0', '--frames-dir', frames]);
  const scenes = run(['--scenes']).trim().split('\n').map((line) => {
    const [name, count] = line.split(' ');
    return { name, frames: Number(count) };
  });

  const server = await serve(dir);
  const site = `http://127.0.0.1:${server.address().port}/`;
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1000, height: 700 } });
    const messages = [];
    page.on('console', (m) => messages.push(m.text()));
    page.on('pageerror', (e) => messages.push(`page error: ${e.message}`));
    const open = async (args, env = '') => {
      messages.length = 0;
      await page.goto(`${site}?args=${encodeURIComponent(args)}${env && `&env=${encodeURIComponent(env)}`}`);
    };

    // A frame of the tour against the headless driver's frame of its number.
    const compare = async (index, upTo, cpu) => {
      const scene = scenes[index];
      await open(`--fps 0 --frames ${upTo}`, cpu && `ZEL_CPU=${cpu}`);
      await page.waitForSelector('body[data-finished]', { timeout: 60000 });
      const shown = await page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        const image = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
        return { frame: canvas.dataset.frame, width: image.width, height: image.height,
                 data: Array.from(image.data), finished: document.body.dataset.finished };
      });
      const file = path.join(frames, `frame${String(shown.frame).padStart(6, '0')}.png`);
      const what = `${scene.name}${cpu && ` (${cpu})`}, tour frame ${upTo} (frame file ${path.basename(file)})`;
      const reached = shown.finished === String(upTo) &&
        messages.some((m) => m === `zeldemo: scene ${index + 1}/${scenes.length} ${scene.name}`);
      check(reached, `${what}: the page reached the scene ${reached ? '' : `(${messages.join(' | ')})`}`);
      if (!fs.existsSync(file)) {
        check(false, `${what}: the headless driver wrote no such frame`);
        return;
      }
      const difference = firstDifference(shown, PNG.sync.read(fs.readFileSync(file)));
      check(difference === null, `${what}: the canvas equals the headless frame${difference ? `: ${difference}` : ''}`);
      if (!cpu)
        await page.locator('canvas').screenshot({ path: path.join(artefacts, `${index + 1}-${scene.name}.png`) });
    };
    // Each scene two thirds of the way through it, on the widest path and
    // on the plain loops.
    for (const cpu of ['', 'plain']) {
      let before = 0;
      for (const [index, scene] of scenes.entries()) {
        await compare(index, before + Math.floor(scene.frames * 2 / 3) + 1, cpu);
        before += scene.frames;
      }
    }

    // The keys reach the program through the canvas driver's winEvent.
    await open('--fps 30');
    await page.waitForFunction(() => Number(document.getElementById('canvas').dataset.frame) > 3);
    await page.keyboard.press('Space');
    await page.waitForTimeout(300);
    const pausedAt = await page.evaluate(() => document.getElementById('canvas').dataset.frame);
    await page.waitForTimeout(700);
    const stillAt = await page.evaluate(() => document.getElementById('canvas').dataset.frame);
    check(pausedAt === stillAt, `space pauses the tour (frame ${pausedAt}, then ${stillAt})`);
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('Space');
    await page.waitForFunction(() => document.getElementById('log').textContent.includes('scene 3/'),
                               null, { timeout: 10000 }).catch(() => {});
    const third = `zeldemo: scene 3/${scenes.length} ${scenes[2].name}`;
    check(messages.includes(third) && !messages.some((m) => m.startsWith('zeldemo: scene 2/')),
          `two right arrows go on to the third scene (${messages.join(' | ')})`);
    await page.keyboard.press('Escape');
    await page.waitForSelector('body[data-finished]', { timeout: 10000 }).catch(() => {});
    check(messages.some((m) => /frames shown, stopped by the user$/.test(m)),
          `Esc ends the tour (${messages[messages.length - 1]})`);
    check(!messages.some((m) => m.startsWith('page error')), 'no error on the page');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(frames, { recursive: true, force: true });
  }
}

main().then(
  () => {
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed ? 1 : 0);
  },
  (error) => {
    console.error(`browser test: ${error.stack || error}`);
    console.log(`${passed} passed, ${failed + 1} failed`);
    process.exit(1);
  });
