"use strict";
// The page side of the Ruffle engine: one player at a time, its state for the program's poll,
// and the operations of the Flash control. Programmes with ActionScript 1/2 play inside a
// wrapper movie whose callbacks read and move their frames; ActionScript 3 programmes play
// alone and their frame follows the playing clock. Frozen: nothing else in the page may put
// other operations in their place.
const luming = Object.freeze((() => {
    const callbacks = {
        state: "lumingState", play: "lumingPlay", stop: "lumingStop",
        gotoAndPlay: "lumingGotoAndPlay", gotoAndStop: "lumingGotoAndStop", setLoop: "lumingSetLoop",
    };
    // Ruffle's own play button, error and sound overlays: the program reports these itself.
    const hiddenUi = "#play-button, #unmute-overlay, #panic, #message-overlay, #splash-screen" +
        " { display: none !important; }";

    let player = null;
    let movie = {};          // the options of the current load
    let ready = false;
    let error = "";
    let volume = 1;
    let loop = false;
    let wantPlaying = true;  // what the program asked for before the programme was ready
    let pendingFrame = 0;
    // From the moment Ruffle has the movie, looks at the programme often until it shows its first
    // frame (or fails), then tells the program by the page's title rather than wait for its next
    // poll. Not before: a movie still on its way would be looked at as often for nothing.
    let firstFrameWatch = null;
    // The playing clock of an ActionScript 3 programme, in frames.
    let clockFrames = 0, clockSince = null, endTimer = null;

    // A movie of one frame is played by its code, not its timeline: it has no last frame to
    // stop on and plays until the child moves on.
    function hasTimelineEnd() {
        return !loop && movie.totalFrames > 1;
    }

    function call(name, ...args) {
        try {
            return typeof player[name] === "function" ? player[name](...args) : undefined;
        } catch (e) {
            return undefined;
        }
    }

    function clockNow() {
        const running = clockSince === null ? 0 : (performance.now() - clockSince) / 1000;
        return clockFrames + running * movie.frameRate;
    }

    function startClock() {
        if (clockSince !== null)
            return;
        clockSince = performance.now();
        if (hasTimelineEnd() && movie.frameRate > 0) {
            const left = Math.max(0, movie.totalFrames - 1 - clockFrames) / movie.frameRate;
            endTimer = setTimeout(() => { pauseClock(); player.pause(); }, left * 1000);
        }
    }

    function pauseClock() {
        clockFrames = clockNow();
        clockSince = null;
        clearTimeout(endTimer);
    }

    function clockFrame() {
        const total = movie.totalFrames;
        const frames = clockNow();
        if (total <= 0)
            return 1;
        return loop ? 1 + Math.floor(frames) % total : Math.min(total, 1 + Math.floor(frames));
    }

    function becomeReady() {
        ready = true;
        if (movie.wrapped) {
            call(callbacks.setLoop, loop);
            if (pendingFrame > 0)
                call(wantPlaying ? callbacks.gotoAndPlay : callbacks.gotoAndStop, pendingFrame);
            else if (!wantPlaying)
                call(callbacks.stop);
        } else if (wantPlaying) {
            startClock();
        } else {
            player.pause();
        }
    }

    function watchFirstFrame() {
        clearInterval(firstFrameWatch);
        firstFrameWatch = setInterval(() => {
            const now = state();
            if ((now.ready === 4 && now.frame >= 1) || now.error) {
                clearInterval(firstFrameWatch);
                document.title = "first frame " + now.load;
            }
        }, 15);
    }

    function clear() {
        clearInterval(firstFrameWatch);
        if (player) {
            pauseClock();
            player.remove();
        }
        player = null;
        ready = false;
        error = "";
        wantPlaying = true;
        pendingFrame = 0;
        clockFrames = 0;
        clockSince = null;
        lumingDownload = { open: 0, failed: false };
    }

    // A movie still arriving is loaded again with more of its frames: it goes on from the
    // frame it had reached (startFrame), playing or not (startPlaying).
    function load(options) {
        clear();
        movie = options;
        loop = options.loop;
        pendingFrame = options.startFrame || 0;
        wantPlaying = options.startPlaying !== false;
        document.body.style.background = options.background;
        // The wrapper asks for the programme only once Ruffle runs it: both are on their way now.
        lumingPrefetch(options.url);
        if (options.programmeUrl !== options.url)
            lumingPrefetch(options.programmeUrl);
        player = window.RufflePlayer.newest().createPlayer();
        const style = document.createElement("style");
        style.textContent = hiddenUi;
        player.shadowRoot.appendChild(style);
        document.body.appendChild(player);
        player.volume = volume;
        player.addEventListener("loadeddata", () => {
            if (!options.wrapped && !ready)
                becomeReady();
            watchFirstFrame();
        });
        player.load({
            url: options.url, allowScriptAccess: true, autoplay: "on", unmuteOverlay: "hidden",
            splashScreen: false, contextMenu: "off", showSwfDownload: false, polyfills: false,
            letterbox: "on", scale: options.exactFit ? "exactFit" : "showAll",
            backgroundColor: options.background, logLevel: "error", deviceFontRenderer: "canvas",
        }).catch((e) => { error = String(e); });
    }

    // Ruffle fetches and compiles its code for the first player of a page (over a second): a
    // player of an empty movie, made ahead, gets that done before the first programme; the
    // programme's load removes it.
    const emptyMovie = new Uint8Array([
        0x46, 0x57, 0x53, 10, 21, 0, 0, 0,     // "FWS", version 10, 21 bytes
        0x40, 0x00, 0xA0, 0x00, 0xA0,          // stage 0..20 × 0..20 twips
        0x00, 12, 1, 0,                        // 12 frames a second, one frame
        0x40, 0x00, 0x00, 0x00,                // ShowFrame, End
    ]);
    function prepare() {
        if (player)
            return;
        player = window.RufflePlayer.newest().createPlayer();
        player.style.visibility = "hidden";
        document.body.appendChild(player);
        player.load({
            data: emptyMovie, autoplay: "on", unmuteOverlay: "hidden", splashScreen: false,
            contextMenu: "off", polyfills: false, logLevel: "error",
        }).catch(() => {});
    }

    function state() {
        const result = {
            load: movie.load, ready: 0, frame: 0, playing: false, error,
            received: lumingBytesReceived,
            waiting: lumingDownload.open > 0 || lumingDownload.failed,
        };
        if (!player)
            return result;
        if (!error && player.shadowRoot.querySelector("#panic"))
            error = "Ruffle could not play the movie";
        result.error = error;
        if (movie.wrapped) {
            const [frame, total, playing] = String(call(callbacks.state)).split(",");
            if (!ready && Number(total) > 0)
                becomeReady();
            if (ready) {
                result.frame = Number(frame) || 0;
                // A frame that never moves tells nothing of a one-frame movie: it plays as
                // long as it was not stopped.
                result.playing = playing === "true" || (movie.totalFrames <= 1 && wantPlaying);
            }
        } else if (ready) {
            result.frame = clockFrame();
            result.playing = clockSince !== null;
        }
        result.ready = ready ? 4 : 0;
        return result;
    }

    function play() {
        wantPlaying = true;
        if (!ready)
            return;
        if (movie.wrapped) {
            call(callbacks.play);
        } else {
            if (hasTimelineEnd() && clockFrame() >= movie.totalFrames)
                return;
            player.play();
            startClock();
        }
    }

    function stop() {
        wantPlaying = false;
        if (!ready)
            return;
        if (movie.wrapped) {
            call(callbacks.stop);
        } else {
            pauseClock();
            player.pause();
        }
    }

    // Keeps playing or standing still, as the programme does now.
    function gotoFrame(frame) {
        if (!ready) {
            pendingFrame = frame;
        } else if (movie.wrapped) {
            const playing = String(call(callbacks.state)).split(",")[2] === "true";
            call(playing ? callbacks.gotoAndPlay : callbacks.gotoAndStop, frame);
        }
    }

    function setLoop(value) {
        loop = value;
        if (ready && movie.wrapped)
            call(callbacks.setLoop, value);
    }

    function setVolume(value) {
        volume = value;
        if (player)
            player.volume = value;
    }

    return { prepare, load, clear, state, play, stop, gotoFrame, setLoop, setVolume };
})());
