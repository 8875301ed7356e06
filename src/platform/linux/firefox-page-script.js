// Runs before the page's own scripts in every document of Firefox's pages, in a sandbox of its
// own: the page sees neither this script nor the reporting function `send`, and the objects it
// uses are the browser's, whatever the page did to its own. It reports the user's mouse events
// (isTrusted only), for a page's top document its title, and the address each call of the
// page's window.open asks for, each as one JSON text. What arrives is still checked by the
// adapter.
(send) => {
  // A window's first document may be replaced by the next one in the same window (and the
  // same sandbox): the mouse is watched once per window, the title once per document.
  if (globalThis.tavrelDocument === document) return;
  globalThis.tavrelDocument = document;
  const post = (o) => { try { send(JSON.stringify(o)); } catch (e) {} };
  // The listeners report through the reporting function of the document shown.
  globalThis.tavrelPost = post;
  const mouse = (e) => {
    if (!e.isTrusted) return;
    globalThis.tavrelPost({type: e.type, button: e.button | 0, buttons: e.buttons | 0,
                           ctrlKey: !!e.ctrlKey, shiftKey: !!e.shiftKey, altKey: !!e.altKey,
                           x: Math.round(e.clientX) | 0, y: Math.round(e.clientY) | 0});
  };
  if (!globalThis.tavrelWindow) {
    globalThis.tavrelWindow = true;
    for (const t of ['mousedown', 'mouseup', 'contextmenu'])
      window.addEventListener(t, mouse, true);
    // window.open, told before the call and after it: Firefox announces the new window while
    // the call waits, so the address reported is that window's. The address is made absolute
    // once, here, and that very address is what the browser's own window.open gets.
    try {
      const page = window.wrappedJSObject;
      const open = page.open;
      if (typeof open === 'function') {
        page.open = function (url) {
          'use strict';
          const rest = Array.prototype.slice.call(arguments, 1);
          let asked = url === undefined ? '' : String(url);
          if (asked !== '') {
            try { asked = new URL(asked, document.baseURI).href; } catch (e) {}
          }
          globalThis.tavrelPost({type: 'open', url: asked.length <= 8192 ? asked : ''});
          try {
            return open.apply(this === undefined ? page : this, [asked].concat(rest));
          } finally {
            globalThis.tavrelPost({type: 'opened'});
          }
        };
      }
    } catch (e) {}
  }
  if (window !== window.top) return;
  let last = null;
  const title = () => {
    const t = String(document.title).slice(0, 2048);
    if (t !== last) { last = t; post({type: 'title', title: t}); }
  };
  const watch = () => {
    title();
    // The title lives in the head; a document without one is watched whole.
    new MutationObserver(title).observe(document.head || document,
        {subtree: true, childList: true, characterData: true});
  };
  if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', watch, {once: true});
  else
    watch();
}
