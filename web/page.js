// The page around Lunotrop's WebAssembly program: it loads the fonts and
// the parameter file, starts the program, and serves the browser console
// (src/console-web) as LunotropPage: showing the framebuffer on the canvas,
// drawing texts, the key and mouse events, the input dialog, notices,
// downloads and the end of the program.
"use strict";

const LunotropPage = (() => {
  const canvas = document.getElementById("schirm");
  const context = canvas.getContext("2d", { alpha: false });
  const events = [];
  // Event codes as WebWindow.cpp reads them.
  const CHARACTER = 0x100, END = 0x10000, MOUSE = 0x20000, RESIZE = 0x30000;
  const MIN_WIDTH = 1024, MIN_HEIGHT = 768;
  let ended = false;
  let image = null;

  // Measurements for the tests and the curious: when the start screen
  // stood, when the first picture after the questions did, and how long
  // the ticks that drew took (in the page, milliseconds).
  const times = { startScreen: null, lastAnswer: null, firstPicture: null, tickWork: [] };
  const downloads = [];

  // ---- screen ----
  function cssSize() {
    return [Math.max(window.innerWidth, MIN_WIDTH), Math.max(window.innerHeight, MIN_HEIGHT)];
  }
  // A screen pixel for every CSS pixel: the layout is the desktop's on a
  // screen of the window's size; on a high-density display the canvas is
  // enlarged without smoothing (page.css), so the edges stay sharp.
  function screenWidth() { return cssSize()[0]; }
  function screenHeight() { return cssSize()[1]; }

  function present(pixels, width, height, left, top, right, bottom) {
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = width + "px";
      canvas.style.height = height + "px";
      left = 0; top = 0; right = width; bottom = height;
    }
    const buffer = Module.HEAPU8.buffer;
    if (!image || image.buffer !== buffer || image.pixels !== pixels ||
        image.data.width !== width || image.data.height !== height) {
      const view = new Uint8ClampedArray(buffer, pixels, width * height * 4);
      image = { buffer, pixels, data: new ImageData(view, width, height) };
    }
    context.putImageData(image.data, 0, 0, left, top, right - left, bottom - top);
  }

  // ---- fonts and texts ----
  const families = ['"Liberation Mono"', '"Liberation Sans"', "serif"];
  const scratch = document.createElement("canvas");
  const scratchContext = scratch.getContext("2d", { willReadFrequently: true });
  const advanceCache = new Map();
  const metricsCache = new Map();

  function fontText(family, pixelSize, bold) {
    return (bold ? "bold " : "") + pixelSize + "px " + families[family];
  }

  function lineMetrics(family, pixelSize, bold) {
    const font = fontText(family, pixelSize, bold);
    let metrics = metricsCache.get(font);
    if (!metrics) {
      scratchContext.font = font;
      const measured = scratchContext.measureText("Hg");
      metrics = [Math.ceil(measured.fontBoundingBoxAscent), Math.ceil(measured.fontBoundingBoxDescent)];
      metricsCache.set(font, metrics);
    }
    return metrics;
  }

  // Every character advances by a whole number of pixels, as the desktop's
  // fully hinted fonts do: ten letters of the monospaced font are ten
  // character widths.
  function advances(font, text) {
    const result = [];
    for (const character of text) {
      const key = font + "\u0000" + character;
      let advance = advanceCache.get(key);
      if (advance === undefined) {
        scratchContext.font = font;
        advance = Math.round(scratchContext.measureText(character).width);
        advanceCache.set(key, advance);
      }
      result.push([character, advance]);
    }
    return result;
  }

  function textWidth(family, pixelSize, bold, text) {
    let width = 0;
    for (const [, advance] of advances(fontText(family, pixelSize, bold), text)) width += advance;
    return width;
  }

  // The pixels of one glyph: drawn once in black on the scratch canvas, the
  // pixels it covers at least half kept as (x, y) pairs from the corner of
  // its cell widened by pad on every side. No antialiasing, as on the
  // desktop; a text is then its glyphs' pixels, which costs no read-back.
  const glyphCache = new Map();
  function glyphPixels(font, character, advance, pad, ascent, height) {
    const key = font + "\u0000" + character + "\u0000" + ascent + "\u0000" + height;
    let pixels = glyphCache.get(key);
    if (pixels) return pixels;
    const w = advance + 2 * pad, h = height + 2 * pad;
    if (scratch.width < w || scratch.height < h) {
      scratch.width = Math.max(scratch.width, w);
      scratch.height = Math.max(scratch.height, h);
    }
    scratchContext.clearRect(0, 0, w, h);
    scratchContext.font = font;
    scratchContext.fillStyle = "#000";
    scratchContext.textBaseline = "alphabetic";
    scratchContext.fillText(character, pad, pad + ascent);
    const coverage = scratchContext.getImageData(0, 0, w, h).data;
    const pairs = [];
    for (let y = 0; y < h; ++y)
      for (let x = 0; x < w; ++x)
        if (coverage[(y * w + x) * 4 + 3] >= 128) pairs.push(x, y);
    pixels = Int16Array.from(pairs);
    glyphCache.set(key, pixels);
    return pixels;
  }

  function drawText(family, pixelSize, bold, text, left, top, ascent, height, colour, pixels,
                    screenWidth, screenHeight) {
    const font = fontText(family, pixelSize, bold);
    const pad = Math.ceil(pixelSize / 2);
    const screen = new Uint32Array(Module.HEAPU8.buffer, pixels, screenWidth * screenHeight);
    let pen = left;
    for (const [character, advance] of advances(font, text)) {
      const glyph = glyphPixels(font, character, advance, pad, ascent, height);
      for (let i = 0; i < glyph.length; i += 2) {
        const x = pen - pad + glyph[i], y = top - pad + glyph[i + 1];
        if (x >= 0 && y >= 0 && x < screenWidth && y < screenHeight) screen[y * screenWidth + x] = colour;
      }
      pen += advance;
    }
  }

  // ---- keys and mouse ----
  const specialKeys = { ArrowLeft: 13, ArrowRight: 14, ArrowUp: 15, ArrowDown: 16, Home: 17,
    End: 18, PageUp: 19, PageDown: 20, Insert: 21, Delete: 22 };
  // Windows-1252 0x80..0x9F.
  const cp1252High = "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039" +
    "\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161" +
    "\u203A\u0153\u009D\u017E\u0178";
  let mouseButtons = 0;

  function characterCode(character) {
    const point = character.codePointAt(0);
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return point;
    const high = cp1252High.indexOf(character);
    return high >= 0 ? 0x80 + high : 0;
  }

  function keyCode(event) {
    const ctrl = event.ctrlKey, alt = event.altKey, shift = event.shiftKey, meta = event.metaKey;
    if (event.key in specialKeys) return specialKeys[event.key];
    const f = /^F([0-9]+)$/.exec(event.key);
    if (f) {
      const number = Number(f[1]);
      if (number < 1 || number > 12) return 0;
      const free = mouseButtons === 0;
      if (!ctrl && !alt && !shift && !meta && free) return number;
      if (shift && !ctrl && !alt && !meta && free) return number + 27;
      return 0;
    }
    if (ctrl && !alt && /^[a-zA-Z]$/.test(event.key))
      return event.key.toLowerCase().charCodeAt(0) - 96;
    if (alt && !ctrl) return 0;
    switch (event.key) {
      case "Enter": return CHARACTER | 13;
      case "Escape": return CHARACTER | 27;
      case "Backspace": return CHARACTER | 8;
      case "Tab": return CHARACTER | 9;
    }
    if ([...event.key].length !== 1) return 0;
    const code = characterCode(event.key);
    return code ? CHARACTER | code : 0;
  }

  window.addEventListener("keydown", (event) => {
    if (ended || !running) return;
    if (dialog.open) {
      // A click beside the dialog took its focus: the next key gives it back.
      if (!dialog.contains(document.activeElement)) field.focus();
      return;
    }
    if (event.ctrlKey && !event.altKey && !event.shiftKey && !event.metaKey &&
        (event.key === "c" || event.key === "C")) {
      event.preventDefault();
      events.push(END);
      return;
    }
    const code = keyCode(event);
    // Browser keys stay the browser's: reload, full screen, developer tools.
    const browserKey = ["F5", "F11", "F12"].includes(event.key);
    if (code === 0) return;
    if (!browserKey) event.preventDefault();
    events.push(code);
  });
  canvas.addEventListener("mousedown", (event) => { mouseButtons = event.buttons; events.push(MOUSE); });
  window.addEventListener("mouseup", (event) => { mouseButtons = event.buttons; events.push(MOUSE); });
  let lastSize = null;
  window.addEventListener("resize", () => {
    const size = screenWidth() + "x" + screenHeight();
    if (size !== lastSize) { lastSize = size; events.push(RESIZE); }
  });

  function nextEvent() { return events.length ? events.shift() : 0; }

  // ---- the input dialog ----
  const dialog = document.getElementById("eingabe");
  const prompt = document.getElementById("eingabe-frage");
  const field = document.getElementById("eingabe-feld");
  const reasonLine = document.getElementById("eingabe-grund");
  const okButton = document.getElementById("eingabe-ok");
  const escButton = document.getElementById("eingabe-abbruch");
  let dialogResult = 0; // 0 open, 1 OK, 2 cancelled

  function measure(font, text) {
    scratchContext.font = font;
    return Math.ceil(scratchContext.measureText(text).width);
  }
  function promptWidth(text) { return measure('bold 15px "Liberation Sans"', text); }
  function reasonWidth(text) { return text ? measure('bold 11px "Liberation Sans"', text) : 0; }

  function place(element, left, width) {
    element.style.left = left + "px";
    element.style.width = width + "px";
  }

  function openDialog(text, answer, reason, width, height, left, top, fieldLeft, fieldWidth,
                      okLeft, escLeft, labelLeft, labelWidth) {
    if (times.startScreen === null) times.startScreen = performance.now();
    dialog.style.left = left + "px";
    dialog.style.top = top + "px";
    dialog.style.width = width + "px";
    dialog.style.height = height + "px";
    prompt.textContent = text;
    place(prompt, labelLeft, labelWidth);
    place(field, fieldLeft, fieldWidth);
    place(reasonLine, 0, width);
    reasonLine.textContent = reason;
    place(okButton, okLeft, 81);
    place(escButton, escLeft, 89);
    field.value = answer;
    dialogResult = 0;
    if (!dialog.open) dialog.show();
    field.focus();
    field.select();
  }

  function closeDialog(result) {
    if (!dialog.open) return;
    dialogResult = result;
    if (result === 1) times.lastAnswer = performance.now();
    dialog.close();
    canvas.focus();
  }

  dialog.addEventListener("keydown", (event) => {
    if (event.key === "Enter") { event.preventDefault(); closeDialog(1); }
    else if (event.key === "Escape") { event.preventDefault(); closeDialog(2); }
  });
  okButton.addEventListener("click", () => closeDialog(1));
  escButton.addEventListener("click", () => closeDialog(2));

  function dialogState() { return dialogResult; }
  function dialogAnswer() { return field.value; }

  // ---- notices, downloads, the end ----
  const notice = document.getElementById("hinweis");
  let noticeTimer = null;

  function cssColour(argb) {
    return "#" + (argb & 0xFFFFFF).toString(16).padStart(6, "0");
  }

  function showNotice(text, colour, milliseconds) {
    notice.textContent = text;
    notice.style.color = cssColour(colour);
    notice.hidden = false;
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => { notice.hidden = true; }, Math.max(milliseconds, 0));
  }

  function pngBytes(pixels, width, height, lengthPointer) {
    const picture = document.createElement("canvas");
    picture.width = width;
    picture.height = height;
    const copy = new Uint8ClampedArray(Module.HEAPU8.slice(pixels, pixels + width * height * 4).buffer);
    picture.getContext("2d").putImageData(new ImageData(copy, width, height), 0, 0);
    const encoded = atob(picture.toDataURL("image/png").split(",")[1]);
    const buffer = Module._malloc(encoded.length);
    if (!buffer) return 0;
    const heap = Module.HEAPU8;
    for (let i = 0; i < encoded.length; ++i) heap[buffer + i] = encoded.charCodeAt(i);
    Module.HEAP32[lengthPointer >> 2] = encoded.length;
    return buffer;
  }

  function download(name, bytes, length) {
    const blob = new Blob([Module.HEAPU8.slice(bytes, bytes + length)],
                          { type: name.toLowerCase().endsWith(".png") ? "image/png" : "application/octet-stream" });
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    downloads.push({ name, length });
  }

  function programEnded() {
    ended = true;
    if (dialog.open) dialog.close();
    document.getElementById("start-angebot").hidden = true;
    document.getElementById("ende").hidden = false;
    document.getElementById("neu-starten").focus();
  }
  document.getElementById("neu-starten").addEventListener("click", () => location.reload());

  // ---- start ----
  let running = false;
  function runStarted(started) {
    document.getElementById("start-angebot").hidden = Boolean(started) || ended;
    if (started && times.firstPicture === null) times.firstPicture = performance.now();
  }

  function tickWork(milliseconds) {
    times.tickWork.push(milliseconds);
    if (times.tickWork.length > 1000) times.tickWork.shift();
  }

  function started() {
    running = true;
    document.getElementById("laden").hidden = true;
    document.getElementById("start-angebot").hidden = false;
    canvas.focus();
  }

  return { screenWidth, screenHeight, present, fontAscent: (f, s, b) =>
    lineMetrics(f, s, b)[0], fontDescent: (f, s, b) => lineMetrics(f, s, b)[1], textWidth,
    drawText, nextEvent, promptWidth, reasonWidth, openDialog, dialogState, dialogAnswer,
    showNotice, pngBytes, download, programEnded, runStarted, tickWork, started, times,
    downloads, isEnded: () => ended };
})();

// ---- the parameter file and the program's start ----
const LunotropStart = (() => {
  const STORED = "lunotrop-parameterdatei";

  function baseName(name) {
    const parts = name.split(/[\\/]/);
    return parts[parts.length - 1] || "Parameter.dat";
  }

  // A file chosen or dropped starts the program anew with it, as a file
  // named on the command line does on the desktop.
  function startWith(file) {
    const reader = new FileReader();
    reader.onload = () => {
      const bytes = new Uint8Array(reader.result);
      let binary = "";
      for (const b of bytes) binary += String.fromCharCode(b);
      sessionStorage.setItem(STORED, JSON.stringify({ name: baseName(file.name), data: btoa(binary) }));
      location.href = location.pathname;
    };
    reader.readAsArrayBuffer(file);
  }

  const picker = document.getElementById("datei-wahl");
  document.getElementById("datei-laden").addEventListener("click", () => picker.click());
  picker.addEventListener("change", () => { if (picker.files.length) startWith(picker.files[0]); });
  document.addEventListener("dragover", (event) => {
    event.preventDefault();
    document.body.classList.add("ziehen");
  });
  document.addEventListener("dragleave", () => document.body.classList.remove("ziehen"));
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("ziehen");
    if (LunotropPage.isEnded()) return;
    const files = event.dataTransfer.files;
    if (files.length) startWith(files[0]);
  });

  // The file to start with: one chosen before the reload, or ?datei=URL
  // from the same site. [name, bytes or null]
  async function parameterFile() {
    const stored = sessionStorage.getItem(STORED);
    if (stored) {
      sessionStorage.removeItem(STORED);
      const { name, data } = JSON.parse(stored);
      return [name, Uint8Array.from(atob(data), (c) => c.charCodeAt(0))];
    }
    const wanted = new URLSearchParams(location.search).get("datei");
    if (!wanted) return [null, null];
    const url = new URL(wanted, location.href);
    const name = baseName(decodeURIComponent(url.pathname));
    if (url.origin !== location.origin) return [name, null];
    try {
      const response = await fetch(url, { credentials: "same-origin" });
      if (!response.ok) return [name, null];
      return [name, new Uint8Array(await response.arrayBuffer())];
    } catch (error) {
      return [name, null]; // the program says that it cannot open the file
    }
  }

  async function start() {
    const faces = ['13px "Liberation Mono"', 'bold 13px "Liberation Mono"',
                   '13px "Liberation Sans"', 'bold 13px "Liberation Sans"'];
    const [[name, bytes]] = await Promise.all([parameterFile(),
      Promise.all(faces.map((face) => document.fonts.load(face)))]);
    window.Module = {
      arguments: name ? [name] : [],
      preRun: [() => { if (name && bytes) Module.FS.writeFile("/home/web_user/" + name, bytes); }],
      onRuntimeInitialized: () => LunotropPage.started(),
      // A fault the program cannot go on from ends it as Ctrl+C would.
      onAbort: () => LunotropPage.programEnded(),
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    };
    const script = document.createElement("script");
    script.src = "lunotrop.js";
    document.body.appendChild(script);
  }

  start();
  return { startWith };
})();
