// Runs before the page's own scripts in every document of a watched page. It takes the
// reporting function off the page's global object and keeps it to itself, and reports only
// events that the user made (isTrusted); what arrives is still checked, as the page could
// call the function before this script runs in a frame it controls.
// TAVREL_BINDING is replaced by the binding's name, as a string, before the script is sent.
(() => {
  const name = TAVREL_BINDING;
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
})();
