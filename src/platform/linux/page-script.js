// Runs before the page's own scripts in every document of a watched page. It takes the
// reporting function off the page's global object and keeps it to itself, and reports only
// events that the user made (isTrusted); what arrives is still checked, as the page could
// call the function before this script runs in a frame it controls.
// It also stands in front of window.open: once Tavrel has refused a window this page asked for
// without a user gesture, it calls TAVREL_HOLD, and for that while further calls without a
// gesture are answered at once with no window, so that a page opening windows in a loop
// neither waits on Tavrel nor reaches the network. Tavrel's own refusal stays the guard for
// every window that still gets created. The windows it refused itself are told to Tavrel,
// a count at a time, so that they are counted and journaled as Tavrel's own refusals.
// TAVREL_BINDING and TAVREL_HOLD are replaced by names, as strings, before the script is sent.
(() => {
  const name = TAVREL_BINDING;
  const holdName = TAVREL_HOLD;
  const report = window[name];
  if (typeof report !== 'function') return;
  try { delete window[name]; } catch (e) {}
  const stringify = JSON.stringify;
  const send = (e) => {
    if (!e.isTrusted) return;
    try {
      report(stringify({type: e.type, button: e.button | 0, buttons: e.buttons | 0,
                        ctrlKey: !!e.ctrlKey, shiftKey: !!e.shiftKey, altKey: !!e.altKey,
                        x: Math.round(e.clientX) | 0, y: Math.round(e.clientY) | 0}));
    } catch (x) {}
  };
  for (const t of ['mousedown', 'mouseup', 'contextmenu'])
    window.addEventListener(t, send, true);

  const realOpen = window.open;
  const activation = navigator.userActivation;
  const active = activation &&
      Object.getOwnPropertyDescriptor(Object.getPrototypeOf(activation), 'isActive');
  if (typeof realOpen !== 'function' || !active || typeof active.get !== 'function') return;
  const isActive = active.get;
  const apply = Reflect.apply;
  const perfNow = performance.now.bind(performance);
  const origin = performance.timeOrigin;
  const now = () => origin + perfNow(); // comparable between documents
  const {min, max} = Math;
  let refuseUntil = 0;
  const refusing = () => now() < refuseUntil && !apply(isActive, activation, []);
  // Called with a duration by Tavrel; returns until when this document refuses.
  const hold = (ms) => {
    refuseUntil = max(refuseUntil, now() + min(max(Number(ms) || 0, 0), 5000));
    // Frames of the same origin refuse with their page.
    for (let i = 0; i < window.length; i++) {
      try { window[i][holdName](ms); } catch (e) {}
    }
    return refuseUntil;
  };
  Object.defineProperty(window, holdName, {value: hold});
  // A frame made while its page refuses refuses too.
  try { refuseUntil = window.parent[holdName](0); } catch (e) {}
  // Refusals made here, told at most four times a second, at most 500 at a time, with the
  // address the last one asked for.
  let refused = 0;
  let refusedUrl = '';
  let telling = false;
  const tell = () => {
    const count = min(refused, 500);
    refused -= count;
    try { report(stringify({type: 'refused', count, url: refusedUrl})); } catch (x) {}
    telling = refused > 0;
    if (telling) setTimeout(tell, 250);
  };
  const noteRefusal = (url) => {
    refused++;
    try {
      const asked = url == null || url === '' ? 'about:blank' : String(url);
      refusedUrl = String(new URL(asked, document.baseURI)).slice(0, 300);
    }
    catch (x) { refusedUrl = ''; }
    if (!telling) {
      telling = true;
      setTimeout(tell, 250);
    }
  };
  window.open = function open() {
    if (refusing()) {
      noteRefusal(arguments.length ? arguments[0] : '');
      return null;
    }
    return apply(realOpen, this, arguments);
  };
  // Links that the page's script clicks to open a new window, likewise (in the page or not).
  const closest = Element.prototype.closest;
  const linkOf = (node) => apply(closest, node, ['a[href], area[href]']) || {};
  const opensWindow = (node) => {
    if (!(node instanceof Element)) return false;
    const link = apply(closest, node, ['a[href], area[href]']);
    const target = link && (link.target || (document.querySelector('base[target]') || {}).target);
    return !!target && !['_self', '_top', '_parent'].includes(String(target).toLowerCase());
  };
  window.addEventListener('click', (e) => {
    if (!e.isTrusted && refusing() && opensWindow(e.target)) {
      e.preventDefault();
      noteRefusal(linkOf(e.target).href);
    }
  }, true);
  const click = HTMLElement.prototype.click;
  HTMLElement.prototype.click = function click_() {
    if (refusing() && opensWindow(this)) {
      noteRefusal(linkOf(this).href);
      return;
    }
    return apply(click, this, arguments);
  };
})();
