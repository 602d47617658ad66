// The page around the game: it shows the frames the game hands over, plays
// its waves and tunes through WebAudio, keeps its settings and high scores in
// the browser's storage and shows its message boxes. The game's code (C++
// compiled to WebAssembly) calls the `page` functions below; nothing here
// knows the rules of the game.
'use strict';

(async () => {
  const area = document.getElementById('area');
  const canvas = document.getElementById('screen');
  const context2d = canvas.getContext('2d');
  const status = document.getElementById('status');
  const dialog = document.getElementById('message');
  const loadStarted = performance.now();
  let module = null;

  // ------------------------------------------------------------ sound
  // Browsers start an audio context suspended until the first key press or
  // click on the page; waves before that are dropped, a tune waits for it.
  const audio = { context: null, allowed: false, waves: [], waveGain: null, musicGain: null, analyser: null };
  try {
    audio.context = new AudioContext();
    audio.waveGain = audio.context.createGain();
    audio.waveGain.connect(audio.context.destination);
    audio.musicGain = audio.context.createGain();
    audio.analyser = audio.context.createAnalyser();
    audio.musicGain.connect(audio.analyser);
    audio.analyser.connect(audio.context.destination);
    audio.allowed = audio.context.state === 'running';
  } catch (error) {
    console.warn('No sound in this browser:', error);
    audio.context = null;
  }
  const allowSound = () => {
    if (!audio.context || audio.allowed) return;
    audio.allowed = true;
    audio.context.resume();
  };
  window.addEventListener('keydown', allowSound, true);
  window.addEventListener('pointerdown', allowSound, true);

  // Tunes: a SoundFont synthesizer in the audio thread, loading the General
  // MIDI SoundFont that is served beside the game. Its calls are chained so
  // that a stop never overtakes the start before it.
  let synth = null;
  let music = Promise.resolve();
  let tune = 0;
  const synthReady = (async () => {
    if (!audio.context || !audio.context.audioWorklet) throw new Error('no audio worklets');
    await audio.context.audioWorklet.addModule('libfluidsynth-2.4.6.js');
    await audio.context.audioWorklet.addModule('js-synthesizer.worklet.min.js');
    const next = new JSSynth.AudioWorkletNodeSynthesizer();
    next.init(audio.context.sampleRate);
    next.createAudioNode(audio.context).connect(audio.musicGain);
    const response = await fetch('TimGM6mb.sf2');
    if (!response.ok) throw new Error('TimGM6mb.sf2: ' + response.status);
    await next.loadSFont(await response.arrayBuffer());
    synth = next;
  })();
  synthReady.catch((error) => console.warn('No music:', error));
  const onMusic = (step) => {
    music = music.then(() => synthReady).then(step).catch((error) => console.warn('Music:', error));
  };

  // ------------------------------------------------------------ storage
  // The settings and high scores live in IndexedDB, mounted at /save. The
  // game writes a file next to its target and renames it over the target;
  // each such write is copied to IndexedDB at once, one copy at a time.
  let syncing = null;
  let syncAgain = false;
  const syncFiles = () => {
    if (syncing) {
      syncAgain = true;
      return syncing;
    }
    syncing = new Promise((resolve) => {
      module.FS.syncfs(false, (error) => {
        if (error) console.warn('Settings not stored:', error);
        resolve();
      });
    }).then(() => {
      syncing = null;
      if (syncAgain) {
        syncAgain = false;
        return syncFiles();
      }
    });
    return syncing;
  };

  const showStatus = (text) => {
    status.textContent = text;
  };

  // ------------------------------------------------------------ the calls of the game
  const page = {
    present(rgba, width, height) {
      const pixels = new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, rgba.length);
      context2d.putImageData(new ImageData(pixels, width, height), 0, 0);
      if (!window.munchora.firstFrameMs) {
        window.munchora.firstFrameMs = performance.now() - loadStarted;
        showStatus('');
      }
    },
    setCaption(caption) {
      document.title = caption;
    },
    setCursorHidden(hidden) {
      canvas.style.cursor = hidden ? 'none' : 'default';
    },
    requestFullScreen(on) {
      const change = on ? area.requestFullscreen() : document.exitFullscreen();
      change.catch(() => {});
    },
    areaSize() {
      const ratio = window.devicePixelRatio || 1;
      return [Math.floor(area.clientWidth * ratio), Math.floor(area.clientHeight * ratio)];
    },
    placeCanvas(x, y, width, height, sharp) {
      const ratio = window.devicePixelRatio || 1;
      canvas.style.imageRendering = sharp ? 'pixelated' : 'auto';
      canvas.style.left = x / ratio + 'px';
      canvas.style.top = y / ratio + 'px';
      canvas.style.width = width / ratio + 'px';
      canvas.style.height = height / ratio + 'px';
    },
    audioAvailable() {
      return audio.context !== null;
    },
    audioAllowed() {
      return audio.allowed;
    },
    makeWave(planar, channels, frames, rate) {
      try {
        const buffer = audio.context.createBuffer(channels, frames, rate);
        for (let c = 0; c < channels; ++c) buffer.copyToChannel(planar.subarray(c * frames, (c + 1) * frames), c);
        audio.waves.push(buffer);
        return audio.waves.length - 1;
      } catch (error) {
        console.warn('Wave not playable:', error);
        return -1;
      }
    },
    playWave(id, gain) {
      const source = audio.context.createBufferSource();
      source.buffer = audio.waves[id];
      const volume = audio.context.createGain();
      volume.gain.value = gain;
      source.connect(volume).connect(audio.waveGain);
      source.start();
    },
    freeWave(id) {
      audio.waves[id] = null;
    },
    midiPlay(bytes) {
      const mine = ++tune;
      onMusic(async () => {
        if (mine !== tune) return;
        synth.stopPlayer();
        await synth.resetPlayer();
        await synth.addSMFDataToPlayer(bytes.buffer);
        synth.setPlayerLoop(-1); // for ever, without a gap
        await synth.playPlayer();
      });
    },
    midiStop() {
      ++tune;
      onMusic(() => {
        synth.stopPlayer();
        synth.midiAllSoundsOff();
      });
    },
    midiVolume(gain) {
      if (audio.musicGain) audio.musicGain.gain.value = gain;
    },
    messageBox(caption, text) {
      document.getElementById('message-caption').textContent = caption;
      document.getElementById('message-text').textContent = text;
      dialog.showModal();
    },
    filesWritten() {
      syncFiles();
    },
    ended() {
      canvas.classList.add('ended');
      showStatus('Munchora has ended. Reload the page to play again.');
    },
  };
  dialog.addEventListener('close', () => {
    if (module) module._munchora_dialog_closed();
  });
  const fullButton = document.getElementById('full');
  fullButton.addEventListener('click', () => {
    page.requestFullScreen(!document.fullscreenElement);
    fullButton.blur(); // Space and Enter belong to the game, not to the button
  });

  // For testers and the curious: the game's state, as the headless runner
  // dumps it, and how loud the music is right now.
  window.munchora = {
    firstFrameMs: 0,
    state: () => (module ? JSON.parse(module.UTF8ToString(module._munchora_state())) : null),
    musicLevel() {
      if (!audio.analyser) return 0;
      const samples = new Float32Array(audio.analyser.fftSize);
      audio.analyser.getFloatTimeDomainData(samples);
      return Math.sqrt(samples.reduce((sum, s) => sum + s * s, 0) / samples.length);
    },
    synced: () => syncing || Promise.resolve(),
  };

  // ------------------------------------------------------------ online table
  // Served by munchora-server, the page plays for the server's table and
  // shows its top ten beside the game; each entry's link plays its game here.
  const onlineBox = document.getElementById('online');
  const onlineRows = document.getElementById('online-rows');
  const timedFetch = (url) => fetch(url, { signal: AbortSignal.timeout(5000) });
  const serverAnswers = () =>
    timedFetch('api/health').then((r) => r.ok, () => false);
  const cell = (row, text) => {
    const td = document.createElement('td');
    td.textContent = text;
    row.appendChild(td);
    return td;
  };
  const refreshTopTen = async () => {
    try {
      const boards = await (await timedFetch('api/boards')).json();
      const table = await (await timedFetch(`api/boards/${boards[0].digest}?limit=10`)).json();
      onlineRows.replaceChildren();
      for (const entry of table.entries) {
        const row = document.createElement('tr');
        cell(row, entry.rank);
        cell(row, entry.name);
        cell(row, entry.score);
        cell(row, entry.level);
        const link = document.createElement('a');
        link.href = `?watch=${entry.id}`;
        link.textContent = 'watch';
        cell(row, '').appendChild(link);
        onlineRows.appendChild(row);
      }
      document.getElementById('online-empty').hidden = table.entries.length > 0;
      onlineBox.hidden = false;
    } catch (error) {
      console.warn('The online table cannot be reached:', error);
    }
  };
  // ------------------------------------------------------------ level sets
  // A set travels as one .mnl file: dropped onto the page, or in the
  // address itself (#levels=, deflated and base64url), for small ones.
  const shareBox = document.getElementById('share');
  let onlineServer = false;
  const deflate = async (bytes, how) =>
    new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(how)).arrayBuffer());
  const toBase64Url = (bytes) => btoa(String.fromCharCode(...bytes)).replace(/\+/g, '-').replace(/\//g, '_')
    .replace(/=+$/, '');
  const fromBase64Url = (text) =>
    Uint8Array.from(atob(text.replace(/-/g, '+').replace(/_/g, '/')), (c) => c.charCodeAt(0));
  const kMaxLinkLetters = 8000;
  const crc32 = (bytes) => {
    let crc = 0xffffffff;
    for (const byte of bytes) {
      crc ^= byte;
      for (let k = 0; k < 8; ++k) crc = crc & 1 ? 0xedb88320 ^ (crc >>> 1) : crc >>> 1;
    }
    return (crc ^ 0xffffffff) >>> 0;
  };
  // The set without its pictures, which the game draws where they are
  // missing: what a link or the online table carries.
  const withoutPictures = (bytes) => {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const kept = [];
    let at = 10;
    for (let i = view.getUint32(6, true); i > 0; --i) {
      const nameLength = view.getUint16(at, true);
      const name = new TextDecoder().decode(bytes.subarray(at + 2, at + 2 + nameLength));
      const end = at + 6 + nameLength + view.getUint32(at + 2 + nameLength, true);
      if (!name.endsWith('.bmp')) kept.push(bytes.subarray(at, end));
      at = end;
    }
    const head = bytes.slice(0, 10);
    new DataView(head.buffer).setUint32(6, kept.length, true);
    const body = new Uint8Array(kept.reduce((size, part) => size + part.length, head.length));
    let offset = 0;
    for (const part of [head, ...kept]) {
      body.set(part, offset);
      offset += part.length;
    }
    const sealed = new Uint8Array(body.length + 4);
    sealed.set(body);
    new DataView(sealed.buffer).setUint32(body.length, crc32(body), true);
    return sealed;
  };
  const linkTo = (href, text) => {
    const link = document.createElement('a');
    link.href = href;
    link.textContent = text;
    return link;
  };
  const offerSet = async (path) => {
    const bytes = module.FS.readFile(path);
    const name = path.split('/').pop();
    const download = linkTo(URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' })),
                            'Download ' + name);
    download.download = name;
    shareBox.replaceChildren(download);
    const slim = withoutPictures(bytes);
    const packed = toBase64Url(await deflate(slim, new CompressionStream('deflate-raw')));
    if (packed.length <= kMaxLinkLetters) {
      shareBox.append(' or share ', linkTo(location.origin + location.pathname + '#levels=' + packed,
                                           'a link that plays it'));
    }
    if (onlineServer) {
      // Larger sets travel by the online table, which keeps proven ones.
      const put = document.createElement('button');
      put.type = 'button';
      put.textContent = 'Put it on the online table';
      put.addEventListener('click', async () => {
        put.disabled = true;
        try {
          const answer = await fetch('api/levelsets?name=' + encodeURIComponent(name.replace(/\.mnl$/, '')),
                                     { method: 'POST', body: slim, signal: AbortSignal.timeout(60000) });
          const told = await answer.json();
          put.replaceWith(answer.ok ? linkTo('?levelset=' + told.digest, 'its link on the online table')
                                    : document.createTextNode('Not kept: ' + told.error));
        } catch (error) {
          put.replaceWith(document.createTextNode('The online table cannot be reached'));
        }
      });
      shareBox.append(' ', put);
    }
    shareBox.hidden = false;
  };
  const playDropped = async (file) => {
    const path = '/tmp/' + (file.name.replace(/[^A-Za-z0-9_.-]/g, '') || 'Shared.mnl');
    module.FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    module.ccall('munchora_play_levels', null, ['string'], [path]);
  };
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer && event.dataTransfer.files[0];
    if (file && module) playDropped(file);
  });
  page.noteEvent = (line) => {
    if (line.startsWith('online-answer')) refreshTopTen();
    if (line.startsWith('level-set-exported ')) offerSet(line.slice('level-set-exported '.length));
  };

  // ------------------------------------------------------------ touch
  // On a phone: a swipe over the game steers as an arrow key does (the game
  // sees the key), a tap is fire on the title and in the game and Enter on
  // the menus; the editor takes the finger itself, as a pointer.
  const kSwipe = 24; // CSS pixels: less is a tap
  let touchFrom = null;
  const press = (key, code) => {
    for (const type of ['keydown', 'keyup']) window.dispatchEvent(new KeyboardEvent(type, { key, code }));
  };
  canvas.addEventListener('touchstart', (event) => {
    const touch = event.touches[0];
    touchFrom = event.touches.length === 1 ? { x: touch.clientX, y: touch.clientY } : null;
  }, { passive: true });
  canvas.addEventListener('touchend', (event) => {
    const touch = event.changedTouches[0];
    if (!touchFrom || !module || !touch) return;
    const dx = touch.clientX - touchFrom.x;
    const dy = touch.clientY - touchFrom.y;
    touchFrom = null;
    const screen = window.munchora.state().screen;
    if (screen === 'scEditor') return;
    if (Math.max(Math.abs(dx), Math.abs(dy)) < kSwipe) {
      if (['scIntro', 'scGame', 'scGameOver', 'scGameComplete'].includes(screen)) press(' ', 'Space');
      else press('Enter', 'Enter');
    } else if (Math.abs(dx) > Math.abs(dy)) {
      press(dx < 0 ? 'ArrowLeft' : 'ArrowRight', dx < 0 ? 'ArrowLeft' : 'ArrowRight');
    } else {
      press(dy < 0 ? 'ArrowUp' : 'ArrowDown', dy < 0 ? 'ArrowUp' : 'ArrowDown');
    }
  }, { passive: true });

  // ------------------------------------------------------------ offline
  // After the first visit the game starts with no network (sw.js).
  if ('serviceWorker' in navigator && window.isSecureContext) {
    navigator.serviceWorker.register('sw.js').catch((error) => console.warn('Not kept for offline play:', error));
  }

  // ------------------------------------------------------------ start
  // Words after the "?" of the address go to the game: ?NoMidi, ?Debug;
  // ?watch=ID plays a game of the online table, ?levelset=DIGEST one of its
  // level sets.
  const allWords = decodeURIComponent(location.search.slice(1)).split(/[&+ ]+/).filter(Boolean);
  const watchWord = allWords.find((word) => /^watch=\d{1,18}$/.test(word));
  const words = allWords.filter((word) => word !== watchWord && !word.startsWith('levelset='));
  const online = await serverAnswers();
  onlineServer = online;
  let sharedSet = null;
  const setWord = allWords.find((word) => /^levelset=[0-9a-f]{16}$/.test(word));
  if (online && setWord) {
    const answer = await timedFetch('api/levelsets/' + setWord.slice('levelset='.length)).catch(() => null);
    if (answer && answer.ok) sharedSet = new Uint8Array(await answer.arrayBuffer());
    else showStatus('That level set cannot be fetched from the online table');
  }
  if (location.hash.startsWith('#levels=')) {
    try {
      sharedSet = await deflate(fromBase64Url(location.hash.slice('#levels='.length)),
                                new DecompressionStream('deflate-raw'));
    } catch (error) {
      showStatus('The level set in this link is damaged');
    }
  }
  let watched = null;
  if (online) {
    refreshTopTen();
    if (watchWord) {
      const answer = await timedFetch('api/replays/' + watchWord.slice('watch='.length)).catch(() => null);
      if (answer && answer.ok) watched = new Uint8Array(await answer.arrayBuffer());
      else showStatus('That game cannot be fetched from the online table');
    }
  }
  showStatus('Loading…');
  createMunchora({
    page,
    arguments: words,
    onlineServer: online ? location.origin + location.pathname.replace(/[^/]*$/, '').replace(/\/$/, '') : '',
    watchPath: watched ? '/tmp/watched.mnr' : '',
    levelsPath: sharedSet ? '/tmp/Shared.mnl' : '',
    locateFile: (path) => path,
    setStatus: (text) => text && showStatus(text),
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort: (what) => {
      showStatus('Munchora stopped: ' + what);
      canvas.classList.add('ended');
    },
    preRun: [
      (instance) => {
        module = instance;
        const fs = instance.FS;
        if (watched) fs.writeFile('/tmp/watched.mnr', watched);
        if (sharedSet) fs.writeFile('/tmp/Shared.mnl', sharedSet);
        fs.mkdir('/save');
        fs.mount(fs.filesystems.IDBFS, {}, '/save');
        instance.addRunDependency('save');
        fs.syncfs(true, (error) => {
          if (error) console.warn('Stored settings not read:', error);
          instance.removeRunDependency('save');
        });
      },
    ],
  });
})();
