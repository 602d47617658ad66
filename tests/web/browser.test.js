// The browser build as a player meets it: served by web/serve.py, played in
// Debian's Chromium without a window, driven through puppeteer-core. The
// game's state is read through the page's tester hook, which dumps it as the
// headless runner does. Run by test.sh after ./web.sh --build-only.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert');
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const root = path.join(__dirname, '..', '..');
const webDir = process.env.MUNCHORA_WEB_DIR || path.join(root, 'build-web');
const buildDir = process.env.MUNCHORA_BUILD_DIR || path.join(root, 'build');
const patience = { timeout: 30000 };

let server;
let address;
let browser;
let profile;
let page;

function launch(userDataDir, extra) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox', // needed as root
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
      '--disable-quic',
      `--user-data-dir=${userDataDir}`,
      ...extra,
    ],
  });
}

before(async () => {
  server = spawn('python3', [path.join(root, 'web', 'serve.py'), webDir, '--port', '0'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  address = await new Promise((resolve, reject) => {
    server.on('exit', (code) => reject(new Error(`the server stopped (${code})`)));
    server.stdout.on('data', (data) => {
      const match = /http:\/\/127\.0\.0\.1:\d+\//.exec(String(data));
      if (match) resolve(match[0]);
    });
  });
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'munchora-chromium-'));
  browser = await launch(profile, ['--autoplay-policy=no-user-gesture-required']);
  page = await browser.newPage();
  await page.setViewport({ width: 800, height: 700 });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.kill();
  if (profile) fs.rmSync(profile, { recursive: true, force: true });
});

async function open(target = page, words = '') {
  await target.goto(address + words);
  await target.waitForFunction(() => window.munchora && window.munchora.firstFrameMs > 0, patience);
}

const state = (target = page) => target.evaluate(() => window.munchora.state());

async function waitFor(condition, argument, target = page) {
  await target.waitForFunction(condition, patience, argument);
  return state(target);
}

const onScreen = (screen, target = page) =>
  waitFor((name) => window.munchora.state().screen === name, screen, target);

async function key(name, target = page) {
  await target.keyboard.press(name);
}

const player = (dump) => dump.sprites.find((sprite) => sprite.class === 'TPlayerSprite');

test('the intro shows the same pixels as the headless runner draws', async () => {
  const shots = fs.mkdtempSync(path.join(os.tmpdir(), 'munchora-shots-'));
  const script = path.join(shots, 'script');
  // The "Push <FIRE>" line blinks every 300 ms: one shot with it (0.1 s in),
  // one without (0.4 s in, at the shipped 50 frames a second).
  fs.writeFileSync(script, '5 shot shown\n20 shot hidden\n');
  execFileSync(path.join(buildDir, 'munchora-headless'), [
    '--data', buildDir, '--script', script, '--frames', '21', '--out', shots,
  ]);
  const references = ['shown', 'hidden'].map(
    (name) => 'data:image/png;base64,' + fs.readFileSync(path.join(shots, `${name}.png`)).toString('base64'));
  fs.rmSync(shots, { recursive: true, force: true });

  await open();
  assert.strictEqual((await state()).screen, 'scIntro');
  const differing = await page.evaluate(async (urls) => {
    const pictures = [];
    for (const url of urls) {
      const image = await createImageBitmap(await (await fetch(url)).blob());
      const canvas = new OffscreenCanvas(800, 600);
      canvas.getContext('2d').drawImage(image, 0, 0);
      pictures.push(canvas.getContext('2d').getImageData(0, 0, 800, 600).data);
    }
    const shown = document.getElementById('screen').getContext('2d').getImageData(0, 0, 800, 600).data;
    // The share of pixels that differ by more than a little in any channel.
    return pictures.map((picture) => {
      let count = 0;
      for (let i = 0; i < shown.length; i += 4) {
        const most = Math.max(...[0, 1, 2].map((c) => Math.abs(shown[i + c] - picture[i + c])));
        if (most > 8) ++count;
      }
      return count / (800 * 600);
    });
  }, references);
  assert.ok(Math.min(...differing) < 0.001, `differing shares: ${differing}`);
});

test('Space and Enter start a game, an arrow key moves the hero, blur pauses, Alt+Enter fills the screen, a tune plays', async () => {
  await key('Space');
  await onScreen('scMainMenu');
  await key('Enter');
  const start = await onScreen('scGame');
  const x = player(start).x;
  await page.keyboard.down('ArrowLeft');
  const moved = await waitFor((from) => {
    const hero = window.munchora.state().sprites.find((sprite) => sprite.class === 'TPlayerSprite');
    return hero && hero.x < from;
  }, x);
  await page.keyboard.up('ArrowLeft');
  assert.strictEqual(player(moved).y, player(start).y);
  // The page losing the focus pauses the game, as the desktop's window does.
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitFor(() => !window.munchora.state().active);
  await page.evaluate(() => window.dispatchEvent(new Event('focus')));
  await waitFor(() => window.munchora.state().active);
  // Alt+Enter: the page's full screen and back.
  for (const on of [true, false]) {
    await page.keyboard.down('Alt');
    await key('Enter');
    await page.keyboard.up('Alt');
    await waitFor((wanted) => window.munchora.state().full_screen === wanted &&
                             (document.fullscreenElement !== null) === wanted, on);
  }
  // The synthesizer renders into the page's audio graph: it is not silent.
  await page.waitForFunction(() => window.munchora.musicLevel() > 0.001, patience);
  await key('Escape');
  await key('Y');
  await onScreen('scMainMenu');
});

test('the options screen writes settings that outlive a reload of the page', async () => {
  const before = (await state()).settings.wave_volume;
  for (const name of ['ArrowDown', 'ArrowDown', 'Enter']) await key(name);
  await onScreen('scOptions');
  // Down to the sound volume, one step quieter, and back to the menu.
  for (const name of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowLeft', 'Escape']) await key(name);
  await onScreen('scMainMenu');
  assert.strictEqual((await state()).settings.wave_volume, before - 1000);
  await page.evaluate(() => window.munchora.synced());
  await open();
  assert.strictEqual((await state()).settings.wave_volume, before - 1000);
});

test("a damaged level file ends in the game's own message in the page", async () => {
  const data = fs.readFileSync(path.join(webDir, 'munchora.data'));
  const loader = fs.readFileSync(path.join(webDir, 'munchora.js'), 'latin1');
  const where = /"filename":"\/munchora\/Levels\/Level01\.map","start":(\d+),"end":(\d+)/.exec(loader);
  assert.ok(where, 'Level01.map is in the package');
  const level = data.subarray(Number(where[1]), Number(where[2]));
  const mapLine = level.indexOf('[Map]');
  assert.ok(mapLine >= 0);
  level.write('[Xap]', mapLine); // a level without its maze

  const damaged = await browser.newPage();
  // The page's own files, not those its service worker keeps.
  await damaged.setBypassServiceWorker(true);
  await damaged.setRequestInterception(true);
  damaged.on('request', (request) => {
    if (request.url().endsWith('/munchora.data')) {
      request.respond({ status: 200, contentType: 'application/octet-stream', body: data });
    } else {
      request.continue();
    }
  });
  await open(damaged);
  await key('Space', damaged);
  await onScreen('scMainMenu', damaged);
  await key('Enter', damaged);
  await damaged.waitForSelector('#message[open]', patience);
  const text = await damaged.$eval('#message-text', (element) => element.textContent);
  assert.match(text, /^Error file .*Levels\/Level01\.map$/);
  await damaged.click('#message button');
  await damaged.waitForFunction(
    () => document.getElementById('status').textContent.includes('Reload the page'), patience);
  await damaged.close();
});

test('without leave to play sound at once, the first key press lets the tune play', async () => {
  const own = fs.mkdtempSync(path.join(os.tmpdir(), 'munchora-chromium-'));
  const strict = await launch(own, []);
  try {
    const quiet = await strict.newPage();
    // Without waves too: Chromium wakes the audio for a wave started by a
    // key press, other browsers do not.
    await open(quiet, '?NoSound');
    await key('Space', quiet);
    await onScreen('scMainMenu', quiet);
    await key('Enter', quiet);
    await quiet.waitForFunction(() => window.munchora.musicLevel() > 0.001, patience);
  } finally {
    await strict.close();
    fs.rmSync(own, { recursive: true, force: true });
  }
});

test('served by munchora-server, a game played in the page is listed in its top ten and its link plays it', async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'munchora-table-'));
  const table = spawn(path.join(buildDir, 'munchora-server'), [
    '--data', buildDir, '--db', `sqlite:${path.join(work, 'table.db')}`, '--secret-file',
    path.join(work, 'secret'), '--port', '0', '--static', webDir,
  ], { stdio: ['ignore', 'pipe', 'inherit'] });
  const tablePage = await browser.newPage();
  try {
    const origin = await new Promise((resolve, reject) => {
      table.on('exit', (code) => reject(new Error(`the table stopped (${code})`)));
      table.stdout.on('data', (data) => {
        const match = /http:\/\/127\.0\.0\.1:\d+\//.exec(String(data));
        if (match) resolve(match[0]);
      });
    });
    await tablePage.setViewport({ width: 1100, height: 700 });
    await tablePage.goto(origin);
    await tablePage.waitForFunction(() => window.munchora && window.munchora.firstFrameMs > 0, patience);
    await key('Space', tablePage);
    await onScreen('scMainMenu', tablePage);
    await key('Enter', tablePage);
    await onScreen('scGame', tablePage);
    await tablePage.keyboard.down('ArrowLeft');
    await new Promise((resolve) => setTimeout(resolve, 1500));
    await tablePage.keyboard.up('ArrowLeft');
    await key('Escape', tablePage);
    await key('Y', tablePage);
    await onScreen('scMainMenu', tablePage);
    await tablePage.waitForFunction(
      () => /^Online rank 1$/.test(window.munchora.state().message_line), patience);
    const link = await tablePage.waitForSelector('#online-rows a', patience);
    await Promise.all([tablePage.waitForNavigation(), link.click()]);
    await tablePage.waitForFunction(() => window.munchora && window.munchora.firstFrameMs > 0, patience);
    await waitFor(() => window.munchora.state().replay === 'watch', undefined, tablePage);

    // A set exported in the editor goes to the online table, which keeps
    // only proven sets: this one's level was never cleared.
    const editorPage = await browser.newPage();
    try {
      await editorPage.goto(origin);
      await editorPage.waitForFunction(() => window.munchora && window.munchora.firstFrameMs > 0, patience);
      await key('Space', editorPage);
      await onScreen('scMainMenu', editorPage);
      for (const name of ['ArrowUp', 'ArrowUp', 'Enter']) await key(name, editorPage);
      await onScreen('scEditor', editorPage);
      await key('E', editorPage);
      await (await editorPage.waitForSelector('#share button', patience)).click();
      await editorPage.waitForFunction(
        () => document.getElementById('share').textContent.includes('Not kept: not every level is proven'), patience);
      assert.ok(await editorPage.$('#share a[download]'));
    } finally {
      // A page left open in front would keep the others from drawing.
      await editorPage.close();
    }
  } finally {
    await tablePage.close();
    table.kill();
    fs.rmSync(work, { recursive: true, force: true });
  }
});

test('the editor opens, a click paints a wall, and a #levels= link plays the shared level', async () => {
  await open();
  await key('Space');
  await onScreen('scMainMenu');
  await key('ArrowUp');
  await key('ArrowUp');
  await key('Enter');
  await onScreen('scEditor');
  // Cell (3, 3) of the maze: 22 pixels a cell from (12, 36) on the picture.
  const box = await page.$eval('#screen', (canvas) => {
    const rect = canvas.getBoundingClientRect();
    return { x: rect.left, y: rect.top, scale: rect.width / 800 };
  });
  await page.mouse.click(box.x + (12 + 3 * 22 + 11) * box.scale, box.y + (36 + 3 * 22 + 11) * box.scale);
  const painted = await waitFor(() => window.munchora.state().editor.undo_steps > 0);
  assert.strictEqual(painted.editor.level.split('[Map]\n')[1].split('\n')[3][3], 'B');
  await key('Escape');
  await onScreen('scMainMenu');

  // One small level in a .mnl file (docs/level-set-format.md), deflated into the address.
  const level = Buffer.from('[General]\nName=Shared Corridor\nMapWidth=7\nMapHeight=3\nPlayerPointX=1\n' +
    'PlayerPointY=1\nEnemyCount=0\nBossCount=0\nGhostCount=0\nBonusLevel=0\n[Map]\nBBBBBBB\nBCAAAAB\nBBBBBBB\n');
  const name = Buffer.from('Level01.map');
  const head = Buffer.alloc(10);
  head.write('MNLS');
  head.writeUInt16LE(1, 4);
  head.writeUInt32LE(1, 6);
  const sizes = Buffer.alloc(6);
  sizes.writeUInt16LE(name.length, 0);
  sizes.writeUInt32LE(level.length, 2);
  const body = Buffer.concat([head, sizes.subarray(0, 2), name, sizes.subarray(2), level]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32LE(require('node:zlib').crc32 ? require('node:zlib').crc32(body) : crc32(body));
  const packed = require('node:zlib').deflateRawSync(Buffer.concat([body, crc])).toString('base64url');
  const shared = await browser.newPage();
  try {
    await open(shared, '#levels=' + packed);
    await onScreen('scMainMenu', shared);
    await key('Enter', shared);
    const game = await onScreen('scGame', shared);
    assert.strictEqual(game.game.level_name, 'Shared Corridor');
  } finally {
    await shared.close();
  }

  // The same set as a file dropped onto the page.
  const pack = require('node:zlib').inflateRawSync(Buffer.from(packed, 'base64url')).toString('base64');
  const dropped = await browser.newPage();
  try {
    await open(dropped);
    await key('Space', dropped);
    await onScreen('scMainMenu', dropped);
    await dropped.evaluate((base64) => {
      const data = new DataTransfer();
      data.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], 'Dropped.mnl'));
      window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, cancelable: true }));
    }, pack);
    await waitFor(() => window.munchora.state().message_line === 'Levels: Dropped', undefined, dropped);
    await key('Enter', dropped);
    const game = await onScreen('scGame', dropped);
    assert.strictEqual(game.game.level_name, 'Shared Corridor');
  } finally {
    await dropped.close();
  }
});

// CRC-32 as zlib and PNG compute it, for Node versions without zlib.crc32.
function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) {
    crc ^= byte;
    for (let k = 0; k < 8; ++k) crc = crc & 1 ? 0xedb88320 ^ (crc >>> 1) : crc >>> 1;
  }
  return (crc ^ 0xffffffff) >>> 0;
}

test('after a first visit the page is kept by its service worker and starts with no network', async () => {
  await open();
  const cache = await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    return (await caches.keys()).find((name) => name.startsWith('munchora-'));
  });
  assert.match(cache, /^munchora-[0-9a-f]{16}$/);
  await page.setOfflineMode(true);
  try {
    await open();
    await key('Space');
    await onScreen('scMainMenu');
  } finally {
    await page.setOfflineMode(false);
  }
});

test('on a touch screen a tap starts the game and a swipe steers the hero', async () => {
  const phone = await browser.newPage();
  try {
    await phone.setViewport({ width: 800, height: 700, hasTouch: true, isMobile: true });
    await open(phone);
    const box = await phone.$eval('#screen', (canvas) => {
      const rect = canvas.getBoundingClientRect();
      return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
    });
    await phone.touchscreen.tap(box.x, box.y); // fire on the title
    await onScreen('scMainMenu', phone);
    await phone.touchscreen.tap(box.x, box.y); // Enter: New Game
    const start = await onScreen('scGame', phone);
    await phone.touchscreen.touchStart(box.x, box.y);
    await phone.touchscreen.touchMove(box.x - 120, box.y + 10);
    await phone.touchscreen.touchEnd();
    const moved = await waitFor((from) => {
      const hero = window.munchora.state().sprites.find((sprite) => sprite.class === 'TPlayerSprite');
      return hero && hero.x < from;
    }, player(start).x, phone);
    assert.strictEqual(player(moved).y, player(start).y);
  } finally {
    await phone.close();
  }
});
