// Registers the service worker (sw.js) that keeps the site for offline use, once the page has
// loaded, so that filling its cache does not compete with the page's own start.
'use strict';

if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => {
    // An earlier visit's worker is asked at once whether the site has a new build, rather than
    // when the browser next gets round to it.
    navigator.serviceWorker.register('sw.js').then((registration) => registration.update()).catch((e) => {
      console.warn('The page will not open offline: ' + e.message);
    });
  });
}
