// Registers the service worker (sw.js) that keeps the site for offline use, once the page has
// loaded, so that filling its cache does not compete with the page's own start.
'use strict';

if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch((e) => {
      console.warn('The page will not open offline: ' + e.message);
    });
  });
}
