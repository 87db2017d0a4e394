// The page around the game: the program's command line from the page's parameters, the player's folder kept
// in the browser's IndexedDB, the canvas shown at a whole-number scale, fullscreen, and what the page says
// when the game can't start or has ended.
//
// Page parameters (the desktop's options): ?script=FILE (a script beside the page) or ?script=TEXT (the
// script itself, its lines separated by line breaks, %0A in the address), ?fast, ?scale=N, ?level=W-L,
// ?fullscreen, and ?quit-at-menu (the program ends once the first main menu frame is shown).
"use strict";

(function () {
  const params = new URLSearchParams(window.location.search);
  const canvas = document.getElementById("canvas");
  const notice = document.getElementById("notice");
  const noticeText = document.getElementById("notice-text");
  const noticeButtons = document.getElementById("notice-buttons");
  const note = document.getElementById("note");
  const playerFolder = "/player";
  const dataFolder = "/data";
  const stderrLines = [];
  let FS = null;  // the program's file system, once it exists

  // What the tests read: the state of the game and of its storage.
  const page = (window.duskPage = {
    started: false,
    ended: false,
    exitStatus: null,
    stores: 0,          // copies of the player's folder written to IndexedDB
    storing: false,
    storeError: null,
    loadError: null,    // IndexedDB could not be read: the game started fresh
    stderr: stderrLines,
    endMs: null,       // when the program ended, in ms since the page began to load
  });

  function showNotice(text, buttons) {
    noticeText.textContent = text;
    noticeButtons.replaceChildren(...(buttons || []));
    notice.hidden = false;
  }
  function button(label, action) {
    const b = document.createElement("button");
    b.type = "button";
    b.textContent = label;
    b.addEventListener("click", action);
    return b;
  }

  // The program's arguments from the page's parameters.
  const args = ["--folder", playerFolder];
  for (const flag of ["fast", "fullscreen"]) if (params.has(flag)) args.push("--" + flag);
  for (const option of ["scale", "level"]) if (params.has(option)) args.push("--" + option, params.get(option));
  const script = params.get("script");
  const scriptPath = "/tmp/page-script.txt";
  if (script !== null) args.push("--script", scriptPath);

  // --- The player's folder in IndexedDB ------------------------------------------------------------------
  // The folder lives in memory while the game runs; after every write the game asks for a copy into the
  // browser's storage (Module.duskPlayerFilesChanged), which runs while the game gives the browser a turn.
  // A write during a copy is followed by another copy.
  let storeAgain = false;
  let storeScheduled = false;
  function store() {
    if (page.storing) {
      storeAgain = true;
      return;
    }
    page.storing = true;
    FS.syncfs(false, function (error) {
      page.storing = false;
      if (error) {
        page.storeError = String(error);
        note.textContent = "Progress could not be stored in this browser: " + error;
      } else {
        page.stores += 1;
      }
      if (storeAgain) {
        storeAgain = false;
        store();
      }
    });
  }

  function mountPlayerFolder() {
    FS.mkdirTree(playerFolder);
    FS.mkdirTree(dataFolder);
    try {
      FS.mount(FS.filesystems.IDBFS, {}, playerFolder);
    } catch (error) {
      page.loadError = String(error);
      note.textContent = "This browser keeps no storage for the page: progress lasts until it is closed.";
      return;
    }
    Module.addRunDependency("player-folder");
    FS.syncfs(true, function (error) {
      if (error) {
        // A damaged or unreadable store: the game starts fresh in an empty folder, and the next save
        // writes a sound copy over it.
        page.loadError = String(error);
        note.textContent = "Your stored progress could not be read; a fresh game starts.";
        for (const name of FS.readdir(playerFolder)) {
          if (name === "." || name === "..") continue;
          removeTree(playerFolder + "/" + name);
        }
      }
      Module.removeRunDependency("player-folder");
    });
  }
  function removeTree(path) {
    try {
      if (FS.isDir(FS.stat(path).mode)) {
        for (const name of FS.readdir(path)) if (name !== "." && name !== "..") removeTree(path + "/" + name);
        FS.rmdir(path);
      } else {
        FS.unlink(path);
      }
    } catch (error) {
      // Nothing there to remove.
    }
  }

  function loadScript() {
    if (script === null) return;
    // Text with a line break is the script itself; anything else names a file beside the page.
    if (script.includes("\n")) {
      FS.writeFile(scriptPath, script);
      return;
    }
    Module.addRunDependency("script");
    fetch(script)
      .then((response) => (response.ok ? response.text() : Promise.reject(new Error(response.status + " " + response.statusText))))
      .then((text) => FS.writeFile(scriptPath, text))
      .catch((error) => {
        // The game reports a missing script the way the desktop does, and ends.
        stderrLines.push("The script " + script + " could not be fetched: " + error.message);
      })
      .finally(() => Module.removeRunDependency("script"));
  }

  // --- The canvas at a whole-number scale -------------------------------------------------------------------
  // The game draws at its window scale; the page shows that picture at the largest whole multiple that fits
  // beside the page's other contents, never smoothed. In fullscreen the game itself scales.
  function fitCanvas() {
    if (document.fullscreenElement) {
      canvas.style.width = "";
      canvas.style.height = "";
      return;
    }
    const w = canvas.width;
    const h = canvas.height;
    if (!w || !h) return;
    const room = document.getElementById("stage").clientWidth;
    const tall = window.innerHeight - 130;
    const k = Math.max(1, Math.floor(Math.min(room / w, tall / h)));
    canvas.style.width = w * k + "px";
    canvas.style.height = h * k + "px";
  }
  new MutationObserver(fitCanvas).observe(canvas, { attributes: true, attributeFilter: ["width", "height"] });
  window.addEventListener("resize", fitCanvas);
  document.addEventListener("fullscreenchange", fitCanvas);

  // The fullscreen button presses F11 for the game, which goes fullscreen its own way (the click is the
  // user's gesture the browser asks for).
  function pressKey(key, keyCode) {
    for (const type of ["keydown", "keyup"]) {
      const event = new KeyboardEvent(type, { key: key, code: key, bubbles: true, cancelable: true });
      Object.defineProperty(event, "keyCode", { get: () => keyCode });
      Object.defineProperty(event, "which", { get: () => keyCode });
      window.dispatchEvent(event);
    }
  }
  document.getElementById("fullscreen").addEventListener("click", function () {
    pressKey("F11", 122);
    canvas.focus();
  });

  // Keys meant for the game stay with it: the arrows and Space would scroll the page, F1 opens the
  // browser's help, Backspace may go back a page, F11 is the game's fullscreen.
  const gameKeys = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", " ", "Spacebar", "Backspace",
                            "Tab", "F1", "F11", "F12"]);
  window.addEventListener("keydown", function (event) {
    const forGame = event.target === document.body || event.target === canvas;
    if (forGame && gameKeys.has(event.key)) event.preventDefault();
  }, true);

  // --- The program --------------------------------------------------------------------------------------
  window.Module = {
    canvas: canvas,
    arguments: args,
    preRun: [
      function () {
        FS = Module.FS;
        mountPlayerFolder();
        loadScript();
        if (params.has("quit-at-menu")) Module.ENV.DUSK_QUIT_AT_MENU = "1";
        // The game reads its data from where it starts, and keeps the player's files in /player.
        FS.chdir(dataFolder);
      },
    ],
    print: function (text) {
      console.log(text);
    },
    printErr: function (text) {
      // What the desktop game says on standard error (a damaged save file kept aside, say) is for the
      // player: the page shows it.
      stderrLines.push(text);
      console.warn(text);
      if (text.trim()) note.textContent = text;
    },
    setStatus: function (text) {
      if (!page.started && text) showNotice(text);
    },
    monitorRunDependencies: function () {},
    onRuntimeInitialized: function () {
      page.started = true;
      notice.hidden = true;
      canvas.focus();
      fitCanvas();
    },
    duskPlayerFilesChanged: function () {
      // Copied once the game gives the browser its next turn: the writes of one frame (a world compiled at
      // start-up writes dozens of files) go in one copy.
      if (storeScheduled) return;
      storeScheduled = true;
      setTimeout(function () {
        storeScheduled = false;
        store();
      }, 0);
    },
    onExit: function (status) {
      page.ended = true;
      page.exitStatus = status;
      page.endMs = performance.now();
      if (status === 0) {
        showNotice("Duskmarrow has ended. Your progress is kept in this browser.",
                   [button("Play again", () => window.location.reload())]);
        return;
      }
      let message = stderrLines.join("\n").trim() || "The game ended with status " + status + ".";
      if (!webglWorks()) {
        message += "\n\nThis browser offers no WebGL, which the game draws with: it may be turned off in the " +
          "browser's settings, or the graphics driver may be blocked.";
      }
      const buttons = [button("Reload", () => window.location.reload())];
      if (FS.analyzePath(playerFolder + "/save.dat").exists) {
        // A save file the game refuses stays where it is until the player chooses a fresh game: then it is
        // kept aside as save.dat.damaged, as the desktop game keeps a damaged one.
        buttons.push(button("Start a fresh game", function () {
          try {
            FS.rename(playerFolder + "/save.dat", playerFolder + "/save.dat.damaged");
          } catch (error) {
            removeTree(playerFolder + "/save.dat");
          }
          FS.syncfs(false, () => window.location.reload());
        }));
      }
      showNotice(message, buttons);
    },
    onAbort: function (what) {
      page.ended = true;
      showNotice("Duskmarrow stopped: " + what, [button("Reload", () => window.location.reload())]);
    },
  };

  // Whether a canvas of this page can have a WebGL context, as the game's window needs.
  function webglWorks() {
    try {
      const probe = document.createElement("canvas");
      return !!(probe.getContext("webgl2") || probe.getContext("webgl"));
    } catch (error) {
      return false;
    }
  }

  if (typeof WebAssembly !== "object") {
    showNotice("This browser cannot run WebAssembly, which the game needs.");
  }
  window.addEventListener("error", function (event) {
    if (!page.started) showNotice("The game could not start: " + event.message);
  });
})();
