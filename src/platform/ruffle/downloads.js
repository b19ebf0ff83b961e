"use strict";
// This engine's scheme may not use fetch(), which Ruffle needs for its .wasm and the movies:
// such requests go through XMLHttpRequest instead, and .wasm is labelled so that it can be
// compiled while it streams. Every byte that arrives is counted in lumingBytesReceived, and
// lumingDownload tells whether the page waits for the network at all (a request open, or one
// that failed), so that the program can tell a download that stalls from a slow one, and both
// from a page busy with itself (Ruffle compiling its .wasm asks for nothing). Each load of a
// movie starts a new lumingDownload; a request counts in the one it began in.
// lumingPrefetch asks for a file of this page's scheme at once; Ruffle's own request for it is
// then answered with that (once). A movie's files are asked for while Ruffle still compiles.
var lumingBytesReceived = 0;
var lumingDownload = { open: 0, failed: false };
var lumingPrefetch;
(() => {
    const nativeFetch = window.fetch.bind(window);
    // Counts a request open and gives what closes it, once, failed or not.
    const opened = () => {
        const download = lumingDownload;
        let open = true;
        ++download.open;
        return (ok) => {
            if (!open)
                return;
            open = false;
            --download.open;
            if (!ok)
                download.failed = true;
        };
    };
    // The response again, its body counted as it is read; the request stays open until the
    // body ends, fails or is cancelled.
    const counted = (response, close) => {
        if (!response.body) {
            close(response.ok);
            return response;
        }
        const reader = response.body.getReader();
        const body = new ReadableStream({
            async pull(controller) {
                try {
                    const { done, value } = await reader.read();
                    if (done) {
                        close(response.ok);
                        controller.close();
                    } else {
                        lumingBytesReceived += value.byteLength;
                        controller.enqueue(value);
                    }
                } catch (e) {
                    close(false);
                    controller.error(e);
                }
            },
            cancel(reason) {
                close(response.ok);
                return reader.cancel(reason);
            },
        });
        const copy = new Response(body, {
            status: response.status, statusText: response.statusText, headers: response.headers,
        });
        Object.defineProperty(copy, "url", { value: response.url });
        Object.defineProperty(copy, "redirected", { value: response.redirected });
        return copy;
    };
    const viaRequest = (url) => {
        const close = opened();
        return new Promise((resolve, reject) => {
            const request = new XMLHttpRequest();
            request.open("GET", url.href);
            request.responseType = "arraybuffer";
            let seen = 0, broken = false;
            request.onprogress = (event) => {
                lumingBytesReceived += event.loaded - seen;
                seen = event.loaded;
            };
            // This scheme's answers may come with status 0.
            request.onloadend = () => close(!broken && request.status < 400);
            request.onload = () => {
                const type = url.pathname.endsWith(".wasm") ? "application/wasm"
                    : request.getResponseHeader("Content-Type") || "application/octet-stream";
                const status = request.status >= 200 && request.status < 600 ? request.status : 200;
                resolve(new Response(request.response, { status, headers: { "Content-Type": type } }));
            };
            request.onabort = () => { broken = true; };
            request.onerror = () => {
                broken = true;
                reject(new TypeError("Failed to fetch " + url.href));
            };
            request.send();
        });
    };
    // Answers by address, of the download they began in: a new movie's load forgets them.
    let prefetched = { download: null, answers: new Map() };
    lumingPrefetch = (address) => {
        const url = new URL(address, location.href);
        if (url.protocol !== location.protocol)
            return;
        if (prefetched.download !== lumingDownload)
            prefetched = { download: lumingDownload, answers: new Map() };
        const answer = viaRequest(url);
        answer.catch(() => {}); // a failure is Ruffle's to see, when it asks
        prefetched.answers.set(url.href, answer);
    };
    window.fetch = (input, init) => {
        const address = typeof input === "string" ? input : input.url || String(input);
        const url = new URL(address, location.href);
        if (url.protocol !== location.protocol) {
            const close = opened();
            return nativeFetch(input, init).then((response) => counted(response, close), (e) => {
                close(false);
                throw e;
            });
        }
        const answer = prefetched.download === lumingDownload && prefetched.answers.get(url.href);
        if (!answer)
            return viaRequest(url);
        prefetched.answers.delete(url.href);
        return answer;
    };
})();
